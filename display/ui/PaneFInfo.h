#pragma once
// CPaneFInfo: the lower-left pane of a document window. "File Info" shows the file's facts and
// whether the document edits a copy or the original; "Device" holds the playback level, the
// working directory and the audio devices.

#include <QWidget>

#include "document/COLMDoc.h"

class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace pelmora {

class CPaneFInfo : public QWidget {
    Q_OBJECT
public:
    explicit CPaneFInfo(COLMDoc& doc, QWidget* parent = nullptr);

    // Rewrites every text from the document.
    void Refresh();
    // The configured input and output devices on the "Device" tab.
    void SetDeviceNames(const QString& input, const QString& output);
    QLabel* DeviceNames() const { return devices_; }

    QTabWidget* Tabs() const { return tabs_; }
    QLabel* FileInfo() const { return fileInfo_; }
    QLabel* EditingMode() const { return editingMode_; }
    QSpinBox* Level() const { return level_; }
    QSlider* LevelSlider() const { return levelSlider_; }
    QLabel* WorkingDirectory() const { return workingDirectory_; }
    QPushButton* SelectWorkingDirectory() const { return selectWorkingDirectory_; }

signals:
    // "Sel.": the main frame runs "Select Working Dir...".
    void SelectWorkingDirRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* FileInfoPage();
    QWidget* DevicePage();
    void ShowWorkingDirectory();
    void SetLevel(int level);

    COLMDoc& doc_;
    QTabWidget* tabs_ = nullptr;
    QLabel* fileInfo_ = nullptr;
    QLabel* editingMode_ = nullptr;
    QSpinBox* level_ = nullptr;
    QSlider* levelSlider_ = nullptr;
    QLabel* workingDirectory_ = nullptr;
    QPushButton* selectWorkingDirectory_ = nullptr;
    QLabel* devices_ = nullptr;
};

}  // namespace pelmora
