#pragma once
// The widgets' texts go through Qt's translation under one context, so a translated string table
// can be added later with the same source texts.

#include <QCoreApplication>
#include <QString>

namespace pelmora {

inline QString Tr(const char* text) { return QCoreApplication::translate("Pelmora", text); }

}  // namespace pelmora
