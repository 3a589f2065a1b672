#pragma once
// What a document needs of the application around it.

#include <optional>
#include <string>

#include "base/ProgressTask.h"
#include "base/Prompter.h"

namespace pelmora {

class COLMDoc;

class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual const std::string& WorkDir() const = 0;
    virtual Prompter& Prompts() = 0;
    virtual ProgressTask& Progress() = 0;
    // Another open document works on this file (its working file, or its original).
    virtual bool IsOpenInOtherDocument(const std::string& path, const COLMDoc& self) const = 0;
    // The Save As file dialog; nullopt when the user cancels it.
    virtual std::optional<std::string> ChooseSaveAsPath(const COLMDoc& document) = 0;
    // A document's files or its unsaved state changed (what a crash would leave behind).
    virtual void DocumentStateChanged() {}
};

}  // namespace pelmora
