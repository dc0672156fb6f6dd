// The about box.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace app {

// The maker's e-mail address (the about box's mail link), UTF-8.
inline constexpr const char* kMakerEmail = "biuro@morvane.example";

// The text the main window shows in the about box (CP1250, "\r\n" between lines).
std::string AboutText();

class Tf_o_prog1 : public QDialog {
    Q_OBJECT
public:
    explicit Tf_o_prog1(QWidget* parent = nullptr);

    QWidget* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label9 = nullptr;
    QPlainTextEdit* l_nazwa = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* l_wer = nullptr;
    QLabel* Label10 = nullptr;
    QPushButton* Label18 = nullptr;  // the e-mail link
    QPushButton* Label19 = nullptr;  // the web link
    QPlainTextEdit* Memo1 = nullptr;

    // Opens a mail to the maker with the program's name and version.
    void Label18Click();
    // Opens the maker's shop web site.
    void Label19Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildContactLines(int left);
    void FormShow();
};

// Shows the about box modally: `name`, `version` and `text` are CP1250; an empty version
// hides "Wersja:", an empty name "Nazwa:", an empty text the memo; `authorFlag` turns
// "Producent:" into "Autor:".
void ShowAboutBox(const std::string& name, const std::string& version, const std::string& text, bool authorFlag,
                  QWidget* parent = nullptr);

}  // namespace app
