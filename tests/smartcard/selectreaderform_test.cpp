// The reader selection window, offscreen, over the in-process PC/SC services.
#include "smartcard/selectreaderform.h"

#include "smartcard/choose_reader.h"
#include "tests/smartcard/card_component_fixture.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/modal_dialog.h"

#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstring>
#include <ostream>

using namespace smartcard;
using cardtest::Hex;

namespace {

std::vector<std::string> Column(const TSelectReaderForm& form, int column)
{
    std::vector<std::string> texts;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
        texts.push_back(form.ListView1->topLevelItem(i)->text(column).toStdString());
    return texts;
}

class SelectReaderWindow : public cardtest::CardComponentTest {};

TEST_F(SelectReaderWindow, ListsTheReadersWithTheAtrOfTheirCards)
{
    fake.Insert(model, testsupport::kRigReader);
    TSelectReaderForm form;
    EXPECT_EQ(form.windowTitle(), "Select reader");
    EXPECT_EQ(form.ListView1->headerItem()->text(0), "Reader");
    EXPECT_EQ(form.ListView1->headerItem()->text(1), "ATR");
    EXPECT_EQ(Column(form, 0), (std::vector<std::string>{testsupport::kRigReader, testsupport::kRigSecondReader}));
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{Hex(testsupport::AtrT0()), ""}));
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1000);

    other.OfferOnlyT1();
    fake.Insert(other, testsupport::kRigSecondReader);
    fake.Remove(testsupport::kRigReader);
    form.Timer1Timer();
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"", Hex(testsupport::AtrT1Only())}));
    EXPECT_TRUE(boxes.Messages().empty());
}

struct PreselectCase {
    const char* name;
    const char* reader;
    bool listed;
};

void PrintTo(const PreselectCase& c, std::ostream* os) { *os << c.name; }

class Preselect : public cardtest::CardComponentTest, public ::testing::WithParamInterface<PreselectCase> {};

TEST_P(Preselect, SelectsTheListedReaderOnly)
{
    TSelectReaderForm form;
    form.Preselect(GetParam().reader);
    EXPECT_EQ(form.ListView1->selectedItems().size(), GetParam().listed ? 1 : 0);
    EXPECT_EQ(form.Button1->isEnabled(), GetParam().listed);
    EXPECT_EQ(form.ChosenName(), GetParam().listed ? GetParam().reader : "");
}

INSTANTIATE_TEST_SUITE_P(Names, Preselect,
                         ::testing::Values(PreselectCase{"Listed", testsupport::kRigSecondReader, true},
                                           PreselectCase{"NotListed", "Virtual PCD 00 07", false},
                                           PreselectCase{"Empty", "", false}),
                         [](const ::testing::TestParamInfo<PreselectCase>& p) { return std::string(p.param.name); });

TEST_F(SelectReaderWindow, DoubleClickChoosesTheRowAndCancelChoosesNothing)
{
    testsupport::OnModalDialog([](QDialog& dialog) {
        auto& form = dynamic_cast<TSelectReaderForm&>(dialog);
        EXPECT_EQ(form.ChosenName(), testsupport::kRigReader);
        form.ListView1->setCurrentItem(form.ListView1->topLevelItem(1));
        form.ListView1DblClick();
    });
    EXPECT_EQ(ChooseReaderInWindow(testsupport::kRigReader), testsupport::kRigSecondReader);

    testsupport::OnModalDialog([](QDialog& dialog) {
        auto& form = dynamic_cast<TSelectReaderForm&>(dialog);
        form.ListView1->setCurrentItem(form.ListView1->topLevelItem(1));
        form.Button2->click();
    });
    EXPECT_EQ(ChooseReaderInWindow(testsupport::kRigReader), "");
}

TEST_F(SelectReaderWindow, ComponentTakesTheReaderChosenInTheWindow)
{
    fake.Insert(model, testsupport::kRigSecondReader);
    auto card = MakeCard();
    testsupport::OnModalDialog([](QDialog& dialog) {
        auto& form = dynamic_cast<TSelectReaderForm&>(dialog);
        form.ListView1->setCurrentItem(form.ListView1->topLevelItem(1));
        form.Button1->click();
    });
    EXPECT_TRUE(card->ChooseReader());
    EXPECT_EQ(card->ReaderName(), testsupport::kRigSecondReader);
    EXPECT_TRUE(card->Connected());

    testsupport::OnModalDialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(card->ChooseReaderDialog());
    EXPECT_EQ(card->ReaderNameOrNone(), "(None)");
    EXPECT_FALSE(card->Connected());
}

// A PC/SC service with one reader whose state cannot be read.
const char* const kBadReader = "A bad reader";
decltype(&::SCardGetStatusChange) g_statusChange = nullptr;

LONG StatusChangeFailingForOneReader(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count)
{
    for (DWORD i = 0; i < count; ++i)
        if (states[i].szReader && std::strcmp(states[i].szReader, kBadReader) == 0)
            return SCARD_E_READER_UNAVAILABLE;
    return g_statusChange(context, timeout, states, count);
}

TEST(SelectReaderWindowFaults, OneBadReaderLeavesTheOthersListedAndWatched)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach(kBadReader);
    fake->Attach("B good reader");
    fake->Insert("B good reader", {0x3B, 0x02, 0x14, 0x50});
    TSCardApi table = fakepcsc::Table();
    g_statusChange = table.SCardGetStatusChange;
    table.SCardGetStatusChange = &StatusChangeFailingForOneReader;
    TScopedSCardApi failing(table);

    TSelectReaderForm form;
    EXPECT_EQ(Column(form, 0), (std::vector<std::string>{kBadReader, "B good reader"}));
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"", "3B 02 14 50"}));

    fake->Remove("B good reader");
    EXPECT_NO_THROW(form.Timer1Timer());
    EXPECT_EQ(Column(form, 1), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST(SelectReaderWindowFaults, UnavailableReaderIsNotListed)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("A good reader");
    fake->Attach("B gone reader");
    fake->Find("B gone reader")->flags = SCARD_STATE_UNAVAILABLE;
    TSelectReaderForm form;
    EXPECT_EQ(Column(form, 0), (std::vector<std::string>{"A good reader"}));
}

TEST(SelectReaderWindowFaults, NoReaderGivesAnEmptyListAndOkDisabled)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    TSelectReaderForm form;
    EXPECT_EQ(form.ListView1->topLevelItemCount(), 0);
    EXPECT_FALSE(form.Button1->isEnabled());
    testsupport::OnModalDialog([](QDialog& dialog) { dynamic_cast<TSelectReaderForm&>(dialog).Button2->click(); });
    EXPECT_EQ(ChooseReaderInWindow(""), "");
}

}  // namespace
