// The dialog that asks the preview's search for its text.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace report::output {

class TSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSearchDlg(QWidget* parent = nullptr);

    [[nodiscard]] QString Text() const;
    [[nodiscard]] bool MatchCase() const;
    // True unless the dialog was closed with Search.
    [[nodiscard]] bool Cancelled() const { return cancelled_; }

    QLabel* Label1;
    QLineEdit* Edit1;
    QCheckBox* CheckBox1;
    QPushButton* SpeedButton1;  // Cancel
    QPushButton* SpeedButton2;  // Search

private:
    bool cancelled_ = true;
};

}  // namespace report::output
