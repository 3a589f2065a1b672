// The transport in the editor on the null device: Play locks editing and the frame, the cursor
// moves on the display ticks, Stop gives everything back.

#include <memory>

#include <QAction>

#include "display/ui/PaneFInfo.h"
#include "support/AudioFiles.h"
#include "ui/MainFrameWithSound.h"

namespace pelmora::test {
namespace {

class TransportWithSound : public MainFrameWithSound {
protected:
    void SetUp() override {
        audio = std::make_unique<NullAudio>("", dir.File("out.wav"));
        MainFrameWithSound::SetUp();
    }
    std::unique_ptr<NullAudio> audio;
};

TEST_F(TransportWithSound, PlayEnablesStopDisablesEditingAndTheCursorAdvances) {
    COLMDoc& doc = child->Document();
    doc.selectionStart = 0;
    doc.selectionEnd = 100;
    EXPECT_TRUE(frame.IsEnabled(CommandId::Cut));
    EXPECT_TRUE(frame.IsEnabled(CommandId::Play));
    ASSERT_TRUE(frame.Run(CommandId::Play));
    EXPECT_TRUE(frame.IsEnabled(CommandId::Stop));
    for (CommandId refused : {CommandId::Cut, CommandId::Gain, CommandId::Open, CommandId::Quit, CommandId::Record,
                              CommandId::RegionPlay, CommandId::NextWindow, CommandId::SelectWorkingDir})
        EXPECT_FALSE(frame.IsEnabled(refused)) << static_cast<int>(refused);
    EXPECT_TRUE(frame.IsEnabled(CommandId::HorizontalZoomIn));
    int waited = 0;
    while (doc.playCursor < 2400 && waited < 3000) {
        QTest::qWait(50);
        waited += 50;
    }
    EXPECT_GE(doc.playCursor, 2400u);  // 0.3 s into the sound
    EXPECT_FALSE(frame.close());       // the frame stays while the sound plays
    ASSERT_TRUE(frame.Run(CommandId::Stop));
    EXPECT_EQ(frame.App().audio.Active(), nullptr);
    EXPECT_TRUE(frame.IsEnabled(CommandId::Cut));
    EXPECT_TRUE(frame.IsEnabled(CommandId::Record));
}

TEST_F(TransportWithSound, DeviceTabNamesTheNullDevices) {
    const QString text = child->FileInfoPane()->DeviceNames()->text();
    EXPECT_TRUE(text.contains("Null Input")) << text.toStdString();
    EXPECT_TRUE(text.contains("Null Output")) << text.toStdString();
    EXPECT_TRUE(frame.IsEnabled(CommandId::SoundDeviceConfiguration));
}

}  // namespace
}  // namespace pelmora::test
