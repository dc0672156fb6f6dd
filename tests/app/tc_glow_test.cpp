#include "app/tc_glow.h"

#include "app/link_button.h"
#include "tests/app/main_window_fixture.h"
#include "utility/cp1250.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace apptest {
namespace {

using utility::MessageKind;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Records what the window opens and previews instead of doing it.
class WatchedWindow : public app::Tf_tcGlow {
public:
    using Tf_tcGlow::Tf_tcGlow;
    std::vector<std::filesystem::path> opened;
    int previews = 0;
    bool previewFails = false;
    bool enabledDuringPreview = true;

    void OpenCardFile(const std::filesystem::path& fileName) override { opened.push_back(fileName); }

protected:
    void PreviewCardReport() override
    {
        ++previews;
        enabledDuringPreview = isEnabled();
        if (previewFails)
            throw std::runtime_error("preview broke");
    }
};

QString StatusLine(const app::Tf_tcGlow& window) { return window.Label7->toPlainText(); }

QString DddStatus(const std::filesystem::path& folder)
{
    return U("Katalog z danymi z kart kierowców (plikami DDD): ") + utility::PathToQString(folder);
}

bool IsFolder(const std::filesystem::path& path) { return std::filesystem::is_directory(path); }

// The executable's folder is writable here, and still nothing is written into it.
TEST_F(MainWindowTest, FirstStartCreatesTheDddFolderInTheUsersDataFolderAndASecondStartReadsItBack)
{
    const std::filesystem::path ddd = Folder() / "DDD";
    ASSERT_FALSE(std::filesystem::exists(Folder()));
    {
        WatchedWindow first;
        EXPECT_EQ(first.DddFolder, ddd);
        EXPECT_TRUE(IsFolder(ddd));
        EXPECT_EQ(SettingPath("katDDD").native(), ddd.native() + "/");
        first.show();
        EXPECT_EQ(StatusLine(first), DddStatus(ddd));
        EXPECT_TRUE(first.CurrentFileName.empty());
    }
    WatchedWindow second;
    EXPECT_EQ(second.DddFolder.native(), ddd.native() + "/");
    second.show();
    EXPECT_EQ(StatusLine(second), DddStatus(ddd.native() + "/"));
    EXPECT_EQ(SettingPath("katDDD").native(), ddd.native() + "/");
    EXPECT_TRUE(std::filesystem::is_empty(ExecutableFolder()));
}

TEST_F(MainWindowTest, ASettingsFolderWinsAndIsCreatedWithItsParents)
{
    // Typed by hand into the settings file: any alphabet, blanks around it.
    for (const char* name : {"dane/karty ż", "dane/Søren Ж"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path own = ExecutableFolder().parent_path() / name;
        SetSettingPath("katDDD", "  " + own.native() + " ");
        WatchedWindow window;
        EXPECT_EQ(window.DddFolder, own);
        EXPECT_TRUE(IsFolder(own));
        EXPECT_FALSE(std::filesystem::exists(Folder() / "DDD"));
        EXPECT_EQ(SettingPath("katDDD"), own);  // not rewritten
        window.show();
        EXPECT_EQ(StatusLine(window), DddStatus(own));
    }
}

TEST_F(MainWindowTest, ADddFolderThatCannotBeMadeIsNotReportedAtStart)
{
    WriteBlocker(Path("plik"));
    const std::filesystem::path impossible = Path("plik") / "DDD";
    SetSettingPath("katDDD", impossible);
    WatchedWindow window;
    window.show();
    EXPECT_EQ(window.DddFolder, impossible);
    EXPECT_FALSE(IsFolder(impossible));
    EXPECT_TRUE(boxes_.Messages().empty());
    EXPECT_EQ(StatusLine(window), DddStatus(impossible));
}

TEST_F(MainWindowTest, TheZoltFolderIsSettledAtCreation)
{
    WatchedWindow window;
    EXPECT_EQ(window.ZoltFolder.native(), (Folder() / "Pliki_ZOLT").native() + "/");
    EXPECT_TRUE(IsFolder(window.ZoltFolder));
}

TEST_F(MainWindowTest, TheExecutablesFolderIsWrittenAtEveryStartAlsoAfterAMove)
{
    app::WriteProgramFolderKey();
    EXPECT_EQ(SettingPath("katKTExe"), ExecutableFolder());
    const std::filesystem::path moved = ExecutableFolder().parent_path() / "gdzie indziej ø";
    ASSERT_TRUE(std::filesystem::create_directory(moved));
    utility::SetExecutableFolderForTesting(moved);
    app::WriteProgramFolderKey();
    EXPECT_EQ(SettingPath("katKTExe"), moved);
}

TEST_F(MainWindowTest, TheFirstCommandLineParameterIsOpenedOnceAfterTheOneShot)
{
    WatchedWindow window(QStringList{U("kartovan"), U("karty/Kowalski ł.DDD"), U("drugi.DDD")});
    EXPECT_TRUE(window.opened.empty());
    window.show();
    EXPECT_TRUE(window.opened.empty());  // not before the timer fires
    EXPECT_TRUE(window.Timer1->isActive());
    EXPECT_EQ(window.Timer1->interval(), 300);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !window.opened.empty(); }));
    EXPECT_EQ(window.opened, std::vector<std::filesystem::path>{"karty/Kowalski ł.DDD"});
    EXPECT_EQ(window.CurrentFileName, "karty/Kowalski ł.DDD");
    EXPECT_FALSE(window.Timer1->isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.opened.size(), 1u);
}

TEST_F(MainWindowTest, WithoutAParameterTheOneShotOpensNothing)
{
    WatchedWindow window(QStringList{U("kartovan")});
    window.show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !window.Timer1->isActive(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.opened.empty());
    EXPECT_TRUE(window.CurrentFileName.empty());
}

TEST_F(MainWindowTest, ThePrintButtonAndLinkStayHiddenUntilASummaryIsShown)
{
    WatchedWindow window;
    window.show();
    EXPECT_TRUE(window.BitBtnDruk1->isHidden());
    EXPECT_TRUE(window.LabelpodgladWydr->isHidden());
    window.BitBtnDruk1Click();
    window.LabelpodgladWydrClick();
    EXPECT_EQ(window.previews, 0);

    window.SetPrintVisible(true);
    EXPECT_TRUE(window.BitBtnDruk1->isVisible());
    EXPECT_TRUE(window.LabelpodgladWydr->isVisible());
    window.LabelpodgladWydr->click();
    EXPECT_EQ(window.previews, 1);
    EXPECT_FALSE(window.enabledDuringPreview);
    EXPECT_TRUE(window.isEnabled());

    window.SetPrintVisible(false);
    EXPECT_TRUE(window.LabelpodgladWydr->isHidden());
}

TEST_F(MainWindowTest, AFailingPreviewIsReportedAndLeavesTheWindowEnabled)
{
    WatchedWindow window;
    window.show();
    window.SetPrintVisible(true);
    window.previewFails = true;
    window.BitBtnDruk1->click();
    EXPECT_EQ(window.previews, 1);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error), std::vector<std::string>{"preview broke"});
}

TEST_F(MainWindowTest, TheWindowKeepsItsClientSizeAndCaption)
{
    WatchedWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), U("Kartovan DDD - Odczyt karty kierowcy wer.:3.31"));
    EXPECT_EQ(window.centralWidget()->size(), QSize(640, 490));
    EXPECT_EQ(window.Panel2->geometry(), QRect(0, 0, 640, 170));
    EXPECT_EQ(window.Panel1->geometry(), QRect(0, 170, 640, 321));
    EXPECT_EQ(window.Image2->geometry(), QRect(58, 0, 553, 321));
    EXPECT_EQ(window.Label7->height(), 31);
    EXPECT_EQ(window.Label7->geometry().bottom(), window.Panel2->height() - 2);
    EXPECT_TRUE(window.Panel5->isVisible());
    EXPECT_EQ(window.Image3scr3310->width(), 153);
    EXPECT_EQ(window.Panel4->width(), 216);
    // Memo1 fills the space between the two button panels.
    EXPECT_EQ(window.Memo1->geometry().top(), window.Panel6->geometry().bottom() + 1);
    EXPECT_EQ(window.Memo1->geometry().bottom(), window.Panel7->geometry().top() - 1);
    for (QWidget* w :
         {window.centralWidget(), static_cast<QWidget*>(window.Panel1), static_cast<QWidget*>(window.Panel2),
          static_cast<QWidget*>(window.Panel3), static_cast<QWidget*>(window.Panel5)})
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(128, 129, 123)) << w->objectName().toStdString();
    for (app::LinkButton* label : {window.Label5, window.Label10})
        EXPECT_EQ(label->geometry().right() + 1 + 6, window.Image1->x()) << label->objectName().toStdString();
    const QPoint offCentre = window.frameGeometry().center() - window.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 40);
}

TEST_F(MainWindowTest, ButtonsAndLabelsCarryTheirCaptionsSizesAndHints)
{
    WatchedWindow window;
    struct Row {
        QWidget* widget;
        const char* name;
        const char* caption;  // nullptr: not a button
        QSize size;           // empty: not fixed
        const char* hint;
    };
    const Row rows[] = {
        {window.BitBtnSprawdz, "BitBtnSprawdz", "Sprawdź czytnik", QSize(145, 25), ""},
        {window.ButWczytaj, "ButWczytaj", "Wczytaj dane z karty", QSize(145, 25), ""},
        {window.BitBtnDruk1, "BitBtnDruk1", "Podgląd i wydruk", QSize(116, 40),
         "Wydruk list czyności, miejsc i pojazdów zapisanych w karcie kierowcy"},
        {window.LabelpodgladWydr, "LabelpodgladWydr", "Podgląd i wydruk listy czynności", QSize(), ""},
        {window.LabelK[0], "Label1k", nullptr, QSize(), "Nazwisko"},
        {window.LabelK[1], "Label2k", nullptr, QSize(), "Imię (imiona)"},
        {window.LabelK[2], "Label3k", nullptr, QSize(), "Data urodzenia"},
        {window.LabelK[3], "Label4k", nullptr, QSize(), "Data początku okresu ważności karty"},
        {window.LabelK[4], "Label5k", nullptr, QSize(), "Data ważności karty"},
        {window.LabelK[5], "Label6k", nullptr, QSize(), "Podmiot wydający kartę"},
        {window.LabelK[6], "Label7k", nullptr, QSize(), "Numer PESEL"},
        {window.LabelK[7], "Label8k", nullptr, QSize(), "Numer prawa jazdy"},
        {window.LabelK[8], "Label9k", nullptr, QSize(), "Numer karty"},
        {window.Label2, "Label2", nullptr, QSize(), "Pierwsza czynność w karcie"},
        {window.Label6, "Label6", nullptr, QSize(), "Ostatnia czynność w karcie"},
        {window.Label11symbKraju, "Label11symbKraju", nullptr, QSize(57, 33), "Kraj wydający kartę kierowcy"},
        {window.Label11krajGora, "Label11krajGora", nullptr, QSize(57, 33), "Kraj wydający kartę kierowcy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.widget->objectName(), QString::fromLatin1(row.name));
        EXPECT_EQ(window.findChild<QWidget*>(QString::fromLatin1(row.name)), row.widget);
        EXPECT_EQ(row.widget->toolTip(), U(row.hint));
        if (row.caption) {
            EXPECT_EQ(static_cast<QAbstractButton*>(row.widget)->text(), U(row.caption));
        }
        if (!row.size.isEmpty()) {
            EXPECT_EQ(row.widget->size(), row.size);
        }
    }
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(window.LabelK[i]->pos(), QPoint(226, 40 + 20 * i));
        EXPECT_TRUE(window.LabelK[i]->font().bold());
        EXPECT_TRUE(window.LabelK[i]->text().isEmpty());
        EXPECT_EQ(window.LabelK[i]->palette().color(QPalette::WindowText), QColor(79, 79, 79));
    }
    EXPECT_EQ(window.Label2->pos(), QPoint(88, 183));
    EXPECT_EQ(window.Label6->pos(), QPoint(88, 199));
    EXPECT_EQ(window.Label11symbKraju->pos(), QPoint(119, 267));
    EXPECT_EQ(window.Label11krajGora->pos(), QPoint(121, 35));
    EXPECT_EQ(window.Label11symbKraju->font().pixelSize(), 27);
    EXPECT_EQ(window.Label11krajGora->font().pixelSize(), 29);
    EXPECT_EQ(window.Label11symbKraju->palette().color(QPalette::WindowText), QColor(110, 82, 49));
    EXPECT_EQ(window.BitBtnDruk1->pos(), QPoint(416, 262));
    EXPECT_EQ(window.LabelpodgladWydr->pos(), QPoint(226, 219));
    EXPECT_FALSE(window.ButWczytaj->isEnabled());
    EXPECT_TRUE(window.Memo1pisanie->isHidden());
    EXPECT_TRUE(window.Label4->text().isEmpty());
    EXPECT_TRUE(window.Label35->text().isEmpty());
    EXPECT_TRUE(window.Memo1->isReadOnly());
    EXPECT_TRUE(window.Label7->isReadOnly());
    EXPECT_EQ(window.Label7->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, TheMainMenuHasItsItemsInOrder)
{
    WatchedWindow window;
    struct Item {
        const char* name;
        const char* caption;
        const char* parent;  // "" for the menu bar
    };
    const Item items[] = {
        {"PobierzzOPTAC1", "Pobierz z OPTAC, DIGIDOWN", ""},
        {"Plik1", "Plik", ""},
        {"Otwrz1", "Otwórz", "Plik1"},
        {"Zapiszdanejako1", "Zmień nazwę", "Plik1"},
        {"Otwrzkatalog1", "Otwórz katalog DDD", ""},
        {"Inne1", "Inne", ""},
        {"Oprogramie1", "O programie", "Inne1"},
        {"Ourzdzeniu1", "O urządzeniu", "Inne1"},
        {"KatalogZOLT1", "Otwórz katalog ZOLT", "Inne1"},
        {"Reklama1", "Reklama", "Inne1"},
        {"Przetw1", "Przetwórz kat na KK1", "Inne1"},
        {"Koniec1", "Zamknij", ""},
    };
    std::vector<QAction*> bar, plik, inne;
    for (QAction* a : window.menuBar()->actions())
        bar.push_back(a);
    for (QAction* a : window.Plik1->actions())
        plik.push_back(a);
    for (QAction* a : window.Inne1->actions())
        inne.push_back(a);
    std::size_t iBar = 0, iPlik = 0, iInne = 0;
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        const std::string parent = item.parent;
        QAction* action = parent.empty()      ? (iBar < bar.size() ? bar[iBar++] : nullptr)
                          : parent == "Plik1" ? (iPlik < plik.size() ? plik[iPlik++] : nullptr)
                                              : (iInne < inne.size() ? inne[iInne++] : nullptr);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), U(item.caption));
        if (QMenu* sub = action->menu()) {
            EXPECT_EQ(sub->objectName(), QString::fromLatin1(item.name));
        } else {
            EXPECT_EQ(action->objectName(), QString::fromLatin1(item.name));
        }
    }
    EXPECT_EQ(iBar, bar.size());
    EXPECT_EQ(iPlik, plik.size());
    EXPECT_EQ(iInne, inne.size());
}

TEST_F(MainWindowTest, TheDeviceItemShowsTheFixedOptacText)
{
    WatchedWindow window;
    window.Ourzdzeniu1->trigger();
    ASSERT_EQ(boxes_.Messages().size(), 1u);
    EXPECT_EQ(boxes_.Messages()[0].kind, MessageKind::Information);
    EXPECT_EQ(boxes_.Messages()[0].text,
              utility::Pl("Urządzenie OPTAC służy do pobierania danych z kart kierowców oraz z tachografu w "
                          "pojeździe.\r\nProducentem jest firma Stoneridge Electronics Ltd Registered in "
                          "Scotland\r\ni \"OPTAC\" jest jej znakiem towarowym"));
}

TEST_F(MainWindowTest, LinksOpenTheMakersSitesAndTheDddFolder)
{
    WatchedWindow window;
    window.show();
    for (app::LinkButton* link : {window.Label8, window.Label9, window.Label5, window.Label10})
        link->click();
    window.Image3scr3310->click();
    window.Image1->click();
    window.Label1Click();
    ASSERT_EQ(shell_.urls.size(), 7u);
    const QUrl site = shell_.urls[0];
    const QUrl shop = shell_.urls[4];
    EXPECT_TRUE(site.isValid());
    EXPECT_TRUE(shop.isValid());
    EXPECT_NE(site, shop);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(shell_.urls[i], site);
    EXPECT_EQ(shell_.urls[5], shop);
    EXPECT_EQ(shell_.urls[6], QUrl::fromLocalFile(utility::PathToQString(window.DddFolder)));
    // The pictures are links too: their tool tips name where they lead.
    EXPECT_EQ(window.Image1->toolTip(), shop.toString());
    EXPECT_EQ(window.Label8->toolTip(), site.toString());
}

TEST_F(MainWindowTest, ClosingTakesBackOnlyOurOwnClipboardText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    {
        auto window = std::make_unique<WatchedWindow>();
        utility::SetClipboardText(utility::Pl("Kowalski Jan 2024-01-01 - 2024-02-01"));
        window.reset();
        EXPECT_TRUE(clipboard->text().isEmpty());
    }
    {
        auto window = std::make_unique<WatchedWindow>();
        utility::SetClipboardText(utility::Pl("Kowalski Jan"));
        clipboard->setText(U("skopiowane gdzie indziej"));
        window.reset();
        EXPECT_EQ(clipboard->text(), U("skopiowane gdzie indziej"));
    }
}

TEST_F(MainWindowTest, ZamknijClosesTheWindow)
{
    WatchedWindow window;
    window.show();
    ASSERT_TRUE(window.isVisible());
    window.Koniec1->trigger();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace apptest
