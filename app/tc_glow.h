// The program's main window: card holder summary, reader and read buttons, status line, menu.
#pragma once

#include "report/output/pdf/pdf_filter.h"
#include "tacho/zolt.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <filesystem>
#include <string>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace smartcard {
class TAPDUDemoCard;
}

namespace app {

// Version shown in the caption and the about box.
inline constexpr const char* kProgramVersion = "3.31";

// Initialization of this unit: records the executable's folder under katKTExe, at every start.
void WriteProgramFolderKey();

class LinkButton;

class Tf_tcGlow : public QMainWindow {
    Q_OBJECT
public:
    // `commandLine` as QCoreApplication::arguments(): the program name, then the parameters.
    explicit Tf_tcGlow(QStringList commandLine, QWidget* parent = nullptr);
    Tf_tcGlow() : Tf_tcGlow(QStringList{}) {}
    ~Tf_tcGlow() override;

    // Fields other parts of the window read and write; texts are code page 1250.
    tacho::CardImageD7 ZoltRecord{};
    std::string AtrText;
    std::filesystem::path DddFolder;
    std::filesystem::path CurrentFileName;
    std::filesystem::path ZoltFolder;

    // Components, by their names.
    QMenu* Plik1 = nullptr;
    QMenu* Inne1 = nullptr;
    QAction* PobierzzOPTAC1 = nullptr;
    QAction* Otwrz1 = nullptr;
    QAction* Zapiszdanejako1 = nullptr;
    QAction* Otwrzkatalog1 = nullptr;
    QAction* Oprogramie1 = nullptr;
    QAction* Ourzdzeniu1 = nullptr;
    QAction* KatalogZOLT1 = nullptr;
    QAction* Reklama1 = nullptr;
    QAction* Przetw1 = nullptr;
    QAction* Koniec1 = nullptr;

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel4 = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel6 = nullptr;
    QFrame* Panel7 = nullptr;
    LinkButton* Label8 = nullptr;
    LinkButton* Label9 = nullptr;
    LinkButton* Label5 = nullptr;
    LinkButton* Label10 = nullptr;
    LinkButton* Image3scr3310 = nullptr;
    LinkButton* Image1 = nullptr;
    QPlainTextEdit* Label7 = nullptr;  // the status line
    QPushButton* BitBtnSprawdz = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label35 = nullptr;
    QPushButton* ButWczytaj = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image2 = nullptr;
    QPlainTextEdit* Memo1pisanie = nullptr;
    std::array<QLabel*, 9> LabelK{};  // Label1k .. Label9k
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label11symbKraju = nullptr;
    QLabel* Label11krajGora = nullptr;
    LinkButton* LabelpodgladWydr = nullptr;
    QPushButton* BitBtnDruk1 = nullptr;
    QTimer* Timer1 = nullptr;
    // The two open dialogs, made when first used: making a file dialog takes longer than the
    // whole window before its first paint.
    QFileDialog* OpenKF();
    QFileDialog* OpenDialogKKD();
    // Offers PDF in the report preview's save dialog while the window exists.
    report::output::TRpPDFFilter RpPDFFilter1;

    // Handlers of the menu, the buttons and the links.
    void PobierzzOPTAC1Click();
    void Otwrz1Click();
    void Zapiszdanejako1Click();
    void Otwrzkatalog1Click();
    void Oprogramie1Click();
    void Ourzdzeniu1Click();
    void KatalogZOLT1Click();
    void Reklama1Click();
    void Przetw1Click();
    void Koniec1Click();
    void BitBtnSprawdzClick();
    void ButWczytajClick();
    void BitBtnDruk1Click();
    void LabelpodgladWydrClick();
    void Label8Click();
    void Label1Click();
    void Image3scr3310Click();
    void Image1Click();
    void Timer1Timer();

    // Card work of the window.
    // True when a reader answers and holds a card; enables ButWczytaj then.
    bool CheckReader();
    // Reads the card of the checked reader, saves it as a card download file and writes its
    // ZOLT file: 0 when the card was read and the ZOLT file written, 1 otherwise.
    int ReadDriverCard();
    // Writes the card in memory into the DDD folder, telling the user the outcome.
    void SaveCardAsDdd();
    // Virtual so that tests can watch what the window opens.
    virtual void OpenCardFile(const std::filesystem::path& fileName);
    void ShowCardSummary();
    void ConvertFolderToKk1();

    // Empties the texts of Label4, Memo1, Label35, Label1k .. Label9k, Label2, Label6 and the
    // two country signs.
    void ClearSummaryTexts();
    // Shows or hides BitBtnDruk1; LabelpodgladWydr follows it.
    void SetPrintVisible(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The print preview of the card shown; runs with the window disabled. Virtual so that
    // tests can make it fail.
    virtual void PreviewCardReport();
    // Chooses the reader of the reader check: the first by sorted name. Virtual so that
    // tests can read another reader of the card rig.
    virtual void SelectCardReader(smartcard::TAPDUDemoCard& card);

private:
    void BuildMenu();
    void BuildUpperBand(QWidget* client);
    void BuildReaderPanel();
    void BuildSummary(QWidget* client);
    [[nodiscard]] QFileDialog* MakeOpenDialog(const char* name, const char* title, const char* suffix);
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormDestroy();
    void Realign();
    void PlaceMakerLabels();
    // Connects `signal` of `sender` to `handler`, run through RunGuarded.
    template <class Sender, class Signal>
    void Guard(Sender* sender, Signal signal, void (Tf_tcGlow::*handler)());
    void RunGuarded(void (Tf_tcGlow::*handler)());

    QStringList commandLine_;
    bool shown_ = false;
    QFileDialog* openKF_ = nullptr;
    QFileDialog* openDialogKKD_ = nullptr;
};

}  // namespace app
