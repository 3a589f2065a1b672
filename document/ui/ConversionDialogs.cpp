#include "document/ui/ConversionDialogs.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/Conversions.h"

namespace pelmora {

namespace {

QString TextOf(StringId id) { return QString::fromUtf8(Text(id)); }

}  // namespace

RadioChoiceDialog::RadioChoiceDialog(const QString& title, const std::vector<Choice>& choices, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    bool checked = false;
    for (const Choice& choice : choices) {
        auto* button = new QRadioButton(choice.caption, this);
        button->setEnabled(choice.enabled);
        if (choice.enabled && !checked) {
            button->setChecked(true);
            checked = true;
        }
        layout->addWidget(button);
        buttons_.push_back(button);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int RadioChoiceDialog::Selected() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i);
    return 0;
}

RadioChoiceDialog* MakeConvertBitSizeDialog(const COLMDoc& doc, QWidget* parent) {
    const std::uint16_t from = doc.Info().bytesPerSample;
    std::vector<RadioChoiceDialog::Choice> choices;
    for (std::uint16_t to : BitSizeTargets(from)) choices.push_back({QString::fromStdString(BitSizeCaption(from, to))});
    return new RadioChoiceDialog(TextOf(StringId::ConvertBitSizeCaption), choices, parent);
}

RadioChoiceDialog* MakeDeleteChannelDialog(QWidget* parent) {
    return new RadioChoiceDialog(TextOf(StringId::DeleteChannelCaption),
                                 {{TextOf(StringId::DeleteCh1)}, {TextOf(StringId::DeleteCh2)}}, parent);
}

RadioChoiceDialog* MakeFormatConversionDialog(const COLMDoc& doc, QWidget* parent) {
    const FormatChoices fit = FormatConversionChoices(doc);
    return new RadioChoiceDialog(TextOf(StringId::FormatConversionCaption),
                                 {{TextOf(StringId::WaveToAiffChoice), fit.waveToAiff},
                                  {TextOf(StringId::AiffToWaveChoice), fit.aiffToWave},
                                  {TextOf(StringId::HdPlayRewriteChoice), fit.hdPlayRewrite}},
                                 parent);
}

}  // namespace pelmora
