#include "sampler/SamplerDialogModel.h"

#include <algorithm>
#include <cstdlib>

#include "document/TempFiles.h"
#include "sampler/SmdiMessage.h"
#include "sound/SoundSummary.h"

namespace pelmora::smdi {

std::string InstrumentNotFoundText(DeviceFamily family) {
    return FormatText(StringId::InstrumentNotFound, family == DeviceFamily::Sampler ? "K3100" : "VZ");
}

std::string ImportFilePrefix(const std::string& name) {
    std::string prefix = name;
    for (char& c : prefix)
        if (std::string_view("\\/:,;*?\"<>|").find(c) != std::string_view::npos) c = '-';
    return prefix + "_";
}

SamplerDialogModel::SamplerDialogModel(Mode mode, SmdiLink& link, Prompter& prompter, std::string workDir)
    : mode_(mode), link_(link), prompter_(prompter), workDir_(std::move(workDir)) {}

SamplerDialogModel::~SamplerDialogModel() {
    if (!target_.empty()) RemoveTemporary(target_);
}

std::string SamplerDialogModel::TakeTarget() { return std::exchange(target_, std::string()); }

StringId SamplerDialogModel::OkCaption() const {
    return mode_ == Mode::Import ? StringId::SamplerImportButton : StringId::SamplerExportButton;
}
StringId SamplerDialogModel::Title() const {
    return mode_ == Mode::Import ? StringId::SamplerImportTitle : StringId::SamplerExportTitle;
}
StringId SamplerDialogModel::InfoLabel() const {
    return mode_ == Mode::Import ? StringId::SampleInformationLabel : StringId::FileInformationLabel;
}
bool SamplerDialogModel::ShowsSampleNumber() const {
    return mode_ == Mode::Export && Family() == DeviceFamily::Synthesizer;
}

void SamplerDialogModel::SortLines() {
    std::stable_sort(lines_.begin(), lines_.end(), [](const ListLine& a, const ListLine& b) { return a.text < b.text; });
}

std::string SamplerDialogModel::ImportLineText(const SampleHeaderRecord& entry) const {
    const int shown = static_cast<int>(entry.sampleNumber + 1);
    if (entry.name.empty()) return FormatText(StringId::SlotWithoutSample, shown);
    if (Family() == DeviceFamily::Synthesizer) return FormatText(StringId::SlotWithName, shown, entry.name.c_str());
    return entry.name;
}

bool SamplerDialogModel::List() {
    entries_.clear();
    lines_.clear();
    if (Family() == DeviceFamily::Synthesizer) {
        entries_.resize(kSynthesizerSlots);
        for (std::uint32_t slot = 0; slot < kSynthesizerSlots; ++slot) entries_[slot].sampleNumber = slot;
        lazyListed_ = false;
    } else {
        AlignedBuffer answer(kSampleHeaderReceiveBytes, link_.Device().BufferAlignment());
        for (std::uint32_t slot = 0; slot <= kLastSamplerSlot; ++slot) {
            if (!link_.RequestSampleHeader(slot, answer)) {
                if (!entries_.empty()) break;
                if (IsKnownReply(answer.Data(), answer.Size())) return false;
                prompter_.Message(Text(StringId::SampleDataNotExists));
                return false;
            }
            entries_.push_back(ParseSampleHeader(answer.Data(), answer.Size(), Family()));
        }
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) lines_.push_back({ImportLineText(entries_[i]), i});
    SortLines();
    FetchVisible(1, kFetchCount);
    return true;
}

void SamplerDialogModel::AddDocument(COLMDoc& document) {
    targets_.push_back({&document, document.Title(), 0});
    lines_.push_back({document.Title(), targets_.size() - 1});
    SortLines();
}

std::optional<std::size_t> SamplerDialogModel::LineOfSlot(std::uint32_t slot) const {
    if (mode_ != Mode::Import) return std::nullopt;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (entries_[lines_[i].entry].sampleNumber == slot) return i;
    return std::nullopt;
}

std::optional<std::size_t> SamplerDialogModel::LineOfDocument(const COLMDoc& document) const {
    if (mode_ != Mode::Export) return std::nullopt;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (targets_[lines_[i].entry].document == &document) return i;
    return std::nullopt;
}

bool SamplerDialogModel::FetchVisible(std::size_t firstLine, std::size_t count) {
    if (mode_ != Mode::Import || lazyListed_ || lines_.empty()) return false;
    bool changed = false;
    const std::size_t first = std::min<std::size_t>(std::max<std::size_t>(firstLine, 1), kSynthesizerSlots) - 1;
    AlignedBuffer answer(kSampleHeaderReceiveBytes, link_.Device().BufferAlignment());
    for (std::size_t slot = first; slot < first + count && slot < kSynthesizerSlots; ++slot) {
        SampleHeaderRecord& entry = entries_[slot];
        if (!entry.name.empty()) continue;
        if (!link_.RequestSampleHeader(static_cast<std::uint32_t>(slot), answer)) {
            if (IsKnownReply(answer.Data(), answer.Size())) break;
            continue;
        }
        entry = ParseSampleHeader(answer.Data(), answer.Size(), Family());
        entry.sampleNumber = static_cast<std::uint32_t>(slot);  // the line stands for this slot
        for (ListLine& line : lines_)
            if (line.entry == slot) line.text = ImportLineText(entry);
        changed = true;
    }
    return changed;
}

std::string SamplerDialogModel::Information(std::optional<std::size_t> line) const {
    if (!line || *line >= lines_.size()) return {};
    const std::size_t index = lines_[*line].entry;
    if (mode_ == Mode::Import) {
        const SampleHeaderRecord& e = entries_[index];
        if (e.name.empty()) return Text(StringId::NoInformation);
        return FormatSoundSummary(e.rate, e.bits, e.channels, e.frames,
                                  static_cast<std::uint16_t>((e.bits / 8) * e.channels), e.loopOn,
                                  SummaryKind::Instrument);
    }
    const SoundInfo& s = targets_[index].document->Info();
    return FormatSoundSummary(s.sampleRate, static_cast<std::uint16_t>(s.bytesPerSample * 8), s.channels, s.frames,
                              s.blockAlign, s.loopOn, SummaryKind::Instrument);
}

SamplerDialogModel::Verdict SamplerDialogModel::Ok(std::optional<std::size_t> line,
                                                   const std::string& sampleNumberText,
                                                   std::string& correctedNumber) {
    if (!link_.MasterIdentify()) {
        prompter_.Message(InstrumentNotFoundText(Family()));
        return Verdict::CloseWithoutResult;
    }
    if (!line || *line >= lines_.size()) return Verdict::CloseWithoutResult;
    const std::size_t index = lines_[*line].entry;
    if (mode_ == Mode::Import) return OkImport(index);
    long number = 1;
    if (Family() == DeviceFamily::Synthesizer) {
        number = std::strtol(sampleNumberText.c_str(), nullptr, 10);
        if (number < 1 || number > static_cast<long>(kSynthesizerSlots)) {
            prompter_.Message(Text(StringId::SampleNumberWrong));
            correctedNumber = number < 1 ? "1" : "1024";
            return Verdict::StayOpen;
        }
    }
    exportResult_ = targets_[index];
    exportResult_->slot = static_cast<std::uint32_t>(number - 1);
    return Verdict::Close;
}

SamplerDialogModel::Verdict SamplerDialogModel::OkImport(std::size_t index) {
    SampleHeaderRecord& entry = entries_[index];
    if (entry.name.empty()) {
        // Only a synthesizer lists slots without a sample.
        prompter_.Message(Text(StringId::SampleDataNotExists));
        return Verdict::CloseWithoutResult;
    }
    const std::uint64_t bytes = std::uint64_t{entry.frames} * entry.channels * (entry.bits / 8u);
    if (InsufficientSpaceOnWorkingDrive(workDir_, bytes)) {
        prompter_.Message(Text(StringId::EmptyDiskSpace));
        return Verdict::StayOpen;
    }
    if (!target_.empty()) RemoveTemporary(std::exchange(target_, std::string()));
    const auto path = UniqueTempName(workDir_, ImportFilePrefix(entry.name), ".aif");
    if (!path) {
        prompter_.Message(Text(StringId::FileCreatingError));
        return Verdict::StayOpen;
    }
    target_ = *path;
    entry.targetPath = *path;
    if (entry.loopStart > entry.loopEnd) entry.loopStart = entry.loopEnd = 0;
    importResult_ = &entry;
    return Verdict::Close;
}

}  // namespace pelmora::smdi
