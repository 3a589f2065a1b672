#include "document/ui/NewDialog.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/ui/Translate.h"
#include "document/TempFiles.h"

namespace pelmora {

namespace {


// A group box of radio buttons numbered from 0, in a column.
QButtonGroup* Choices(QWidget* owner, QGridLayout* grid, int row, int column, const char* title,
                      std::initializer_list<const char*> captions, QLineEdit* extra = nullptr) {
    auto* box = new QGroupBox(Tr(title), owner);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (const char* caption : captions) {
        auto* button = new QRadioButton(Tr(caption), box);
        group->addButton(button, id++);
        layout->addWidget(button);
    }
    if (extra) layout->addWidget(extra);
    grid->addWidget(box, row, column);
    return group;
}

std::int64_t Number(const QLineEdit* edit) { return edit->text().trimmed().toLongLong(); }

}  // namespace

NewDialog::NewDialog(NewDialogModel& model, std::string workDir, Prompter& prompter,
                     QWidget* parent)
    : QDialog(parent), model_(model), saved_(model), workDir_(std::move(workDir)), prompter_(prompter) {
    setWindowTitle(Tr("New"));
    auto* grid = new QGridLayout;
    otherRate_ = new QLineEdit(this);
    otherAmplitude_ = new QLineEdit(this);
    type_ = Choices(this, grid, 0, 0, "File type", {"WAVE", "AIFF"});
    channels_ = Choices(this, grid, 1, 0, "Channels", {"mono", "stereo"});
    size_ = Choices(this, grid, 0, 1, "Sample Size", {" 8bit", "16bit", "24bit", "32bit"});
    rate_ = Choices(this, grid, 1, 1, "Sample Rate",
                    {"48000Hz", "44100Hz", "32000Hz", "22050Hz", "Others"}, otherRate_);
    data_ = Choices(this, grid, 0, 2, "Initial Data",
                    {"Silence", "Disk Garbage", "Sine", "Triangle", "Sawtooth", "Square"});
    amplitude_ = Choices(this, grid, 1, 2, "Amplitude",
                         {"Full", "Just Under Full", "Half", "3/4", "Others"}, otherAmplitude_);

    auto* lengthBox = new QGroupBox(Tr("Length"), this);
    auto* lengthGrid = new QGridLayout(lengthBox);
    length_ = new QButtonGroup(this);
    auto* inTime = new QRadioButton(Tr("In Time"), lengthBox);
    auto* inSample = new QRadioButton(Tr("In Sample"), lengthBox);
    length_->addButton(inTime, 0);
    length_->addButton(inSample, 1);
    minutes_ = new QLineEdit(lengthBox);
    seconds_ = new QLineEdit(lengthBox);
    milliseconds_ = new QLineEdit(lengthBox);
    samples_ = new QLineEdit(lengthBox);
    lengthGrid->addWidget(inTime, 0, 0);
    lengthGrid->addWidget(minutes_, 0, 1);
    lengthGrid->addWidget(new QLabel(Tr("min"), lengthBox), 0, 2);
    lengthGrid->addWidget(seconds_, 0, 3);
    lengthGrid->addWidget(new QLabel(Tr("sec"), lengthBox), 0, 4);
    lengthGrid->addWidget(milliseconds_, 0, 5);
    lengthGrid->addWidget(new QLabel(Tr("msec"), lengthBox), 0, 6);
    lengthGrid->addWidget(inSample, 1, 0);
    lengthGrid->addWidget(samples_, 1, 1, 1, 3);
    grid->addWidget(lengthBox, 2, 0, 1, 3);

    frequency_ = new QLineEdit(this);
    dataSize_ = new QLabel(this);
    remain_ = new QLabel(this);
    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(Tr("Frequency"), this), 0, 0);
    facts->addWidget(frequency_, 0, 1);
    facts->addWidget(new QLabel(Tr("Hz"), this), 0, 2);
    facts->addWidget(new QLabel(Tr("Data size"), this), 1, 0);
    facts->addWidget(dataSize_, 1, 1);
    facts->addWidget(new QLabel(Tr("Working volume remain"), this), 2, 0);
    facts->addWidget(remain_, 2, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("New"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Press()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(facts);
    layout->addWidget(buttons);

    for (QButtonGroup* group : {type_, channels_, size_, rate_, data_, amplitude_, length_})
        connect(group, &QButtonGroup::idClicked, this, [this] { StoreToModel(); UpdateFigures(); });
    for (QLineEdit* edit : {otherRate_, otherAmplitude_, frequency_, minutes_, seconds_, milliseconds_, samples_})
        connect(edit, &QLineEdit::editingFinished, this, [this] { StoreToModel(); UpdateFigures(); });
    LoadFromModel();
}

void NewDialog::LoadFromModel() {
    type_->button(model_.GetFileType() == FileType::Wav ? 0 : 1)->setChecked(true);
    channels_->button(model_.Channels() == 2 ? 1 : 0)->setChecked(true);
    size_->button(static_cast<int>(model_.SampleSize()))->setChecked(true);
    rate_->button(static_cast<int>(model_.SampleRate()))->setChecked(true);
    otherRate_->setText(QString::number(model_.OtherRate()));
    data_->button(static_cast<int>(model_.Data()))->setChecked(true);
    amplitude_->button(static_cast<int>(model_.Amplitude()))->setChecked(true);
    otherAmplitude_->setText(QString::number(model_.OtherAmplitude()));
    frequency_->setText(QString::number(model_.Frequency()));
    length_->button(static_cast<int>(model_.Length()))->setChecked(true);
    const LengthInTime time = model_.Time();
    minutes_->setText(QString::number(time.minutes));
    seconds_->setText(QString::number(time.seconds));
    milliseconds_->setText(QString::number(time.milliseconds));
    samples_->setText(QString::number(model_.Frames()));
    UpdateFigures();
}

void NewDialog::StoreToModel() {
    model_.SetFileType(type_->checkedId() == 1 ? FileType::Aiff : FileType::Wav);
    model_.SetStereo(channels_->checkedId() == 1);
    model_.SetSampleSize(static_cast<SampleSizeChoice>(size_->checkedId()));
    model_.SetSampleRate(static_cast<SampleRateChoice>(rate_->checkedId()));
    model_.SetOtherRate(Number(otherRate_));
    model_.SetData(static_cast<InitialData>(data_->checkedId()));
    model_.SetAmplitude(static_cast<AmplitudeChoice>(amplitude_->checkedId()));
    model_.SetOtherAmplitude(Number(otherAmplitude_));
    model_.SetFrequency(Number(frequency_));
    model_.SetLengthMode(static_cast<LengthMode>(length_->checkedId()));
    if (model_.Length() == LengthMode::InTime) {
        model_.SetTime(Number(minutes_), Number(seconds_), Number(milliseconds_));
    } else {
        model_.SetFrames(Number(samples_));
    }
}

void NewDialog::UpdateFigures() {
    const bool waveform = model_.AmplitudeEnabled();
    for (QAbstractButton* button : amplitude_->buttons()) button->setEnabled(waveform);
    otherAmplitude_->setEnabled(waveform);
    frequency_->setEnabled(model_.FrequencyEnabled());
    dataSize_->setText(QString::number(model_.DataSize()));
    remain_->setText(QString::fromStdString(NewDialogModel::FormatFreeSpace(FreeSpaceOnDrive(workDir_))));
}

bool NewDialog::Press() {
    StoreToModel();
    const NewValidation check = model_.Validate(FreeSpaceOnDrive(workDir_));
    if (check.verdict == NewVerdict::Accepted) return true;
    if (!check.message.empty()) prompter_.Message(check.message);
    LoadFromModel();
    // The field the refusal is about gets the focus with its text selected.
    QLineEdit* refused = nullptr;
    switch (check.field) {
    case NewDialogField::SampleRate: refused = otherRate_; break;
    case NewDialogField::Amplitude: refused = otherAmplitude_; break;
    case NewDialogField::Frequency: refused = frequency_; break;
    case NewDialogField::Length: refused = samples_->isEnabled() ? samples_ : minutes_; break;
    case NewDialogField::SampleSize:
    case NewDialogField::None: break;
    }
    if (refused && refused->isEnabled()) {
        refused->setFocus();
        refused->selectAll();
    }
    return false;
}

void NewDialog::reject() {
    model_ = saved_;
    QDialog::reject();
}

}  // namespace pelmora
