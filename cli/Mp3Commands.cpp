// The MP3 commands: tag, mp3-formats, export-mp3, import-mp3.

#include <cstdio>

#include "app/Mp3Documents.h"
#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "mp3/Id3Tag.h"
#include "mp3/Latin1.h"
#include "mp3/Mp3Export.h"
#include "mp3/Mp3OptionsModel.h"
#include "mp3/TagDialogModel.h"

namespace pelmora::cli {

namespace {

std::string Latin1Argument(const std::string& text, const char* what) {
    auto latin1 = Utf8ToLatin1(text);
    if (!latin1) throw UsageError(std::string(what) + " must be Latin-1 text: " + text);
    return *latin1;
}

// The options panel for the current document at a quality, as the dialog would show it.
Mp3OptionsModel OptionsFor(CliSession& session, const std::string& qualityText) {
    const SoundInfo& info = session.Current().Info();
    const int quality = static_cast<int>(ParseInteger(qualityText, "QUALITY", 0, 2));
    Mp3OptionsModel model(info.sampleRate, info.channels);
    if (!model.HasFormats() || !model.SetQuality(quality))
        throw DialogMessage(Text(StringId::FailedToEncode));
    return model;
}

void Tag(CliSession& session, const Args& args) {
    COLMDoc& doc = session.Current();
    TagDialogModel model(doc.tag, 0);
    model.SetTitle(Latin1Argument(args[0], "TITLE"));
    model.SetArtist(Latin1Argument(args[1], "ARTIST"));
    model.SetAlbum(Latin1Argument(args[2], "ALBUM"));
    model.SetYear(Latin1Argument(args[3], "YEAR"));
    model.SetComment(Latin1Argument(args[4], "COMMENT"));
    model.SetTrackText(args[5]);
    model.SetGenre(static_cast<int>(ParseInteger(args[6], "GENRE", 0, kGenreCount - 1)));
    std::string message;
    const auto fields = model.Commit(message);
    if (!fields) throw DialogMessage(message);
    doc.tag = *fields;
}

void Formats(CliSession& session, const Args& args) {
    const Mp3OptionsModel model = OptionsFor(session, args[0]);
    for (const std::string& line : model.Lines()) std::printf("%s\n", line.c_str());
}

void Export(CliSession& session, const Args& args) {
    Mp3OptionsModel model = OptionsFor(session, args[2]);
    const long long lines = static_cast<long long>(model.Lines().size());
    model.SelectLine(static_cast<int>(ParseInteger(args[1], "FORMAT", 0, lines - 1)));
    model.SetWriteTag(ParseChoice(args[3], "TAG", {"tag", "notag"}) == 0);
    if (!ExportMp3(session.Current(), args[0], model.Choice())) throw Cancelled();
}

void Import(CliSession& session, const Args& args) { ImportMp3(session.App(), args[0]); }

}  // namespace

void AppendMp3Commands(std::vector<CommandSpec>& table) {
    table.push_back({"tag", 7, Tag, "TITLE ARTIST ALBUM YEAR COMMENT TRACK GENRE",
                     "the document's ID3 v1.1 fields, as the tag dialog takes them",
                     "Texts are UTF-8 that fits Latin-1, cut to 30 bytes (COMMENT 28, YEAR 4); "
                     "TRACK 1 to 255, or '' for none; GENRE 0 to 125."});
    table.push_back({"mp3-formats", 1, Formats, "QUALITY",
                     "prints the MP3 Format list for quality 0, 1 or 2, one line each",
                     "Nothing else is printed: line N (from 0) is FORMAT N of export-mp3. Fails "
                     "with \"Failed to encode!\" when no MPEG rate fits the sound."});
    table.push_back({"export-mp3", 4, Export, "PATH FORMAT QUALITY tag|notag",
                     "Export To MP3 File, with the ID3 v1.1 tag or without",
                     "An existing PATH is replaced only on --yes, once the new file is complete; "
                     "a failed or cancelled export leaves no file."});
    table.push_back({"import-mp3", 1, Import, "PATH",
                     "Import From MP3 File: the decoded sound becomes the current document",
                     "The document is made from a temporary file, MP3_TEMP_ + title + .wav in the "
                     "working directory, with the file's ID3 v1 tag; an open import of the same "
                     "file comes to the front instead."});
}

}  // namespace pelmora::cli
