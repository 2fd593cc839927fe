#pragma once
// The disc request of the copy from catalogued discs: asks for one disc in
// a folder, which the user may change, and shows the copy's messages and
// questions. The results window hands one to
// TMplManager::CopySelectedFromDiscs; the copy decides everything else.
#include "model/u_discrequest.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TfDiscNeeded : public QDialog, public TDiscRequest {
public:
    explicit TfDiscNeeded(QWidget* parent = nullptr);

    // The folder where the disc is expected; an empty path keeps the old one.
    void SetDrive(const QString& path);
    void SetDiscName(const QString& name);
    const QString& DrivePath() const { return drivePath_; }

    // Shows the request for discName in folder (the first medium found when
    // empty) until OK or Cancel Copy; folder then holds the folder shown
    // last, also one the user chose with Change Path. True for OK.
    bool AskForDisc(const std::string& discName, std::string& folder) override;
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    void UpdateLabel();
    void bChangePathClick();

    QString drivePath_;
    QString discName_;
    QLabel* lblDisc_;
    QPushButton* ok_ = nullptr;
};
