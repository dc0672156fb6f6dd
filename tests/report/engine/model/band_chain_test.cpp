#include "report/engine/model/band.h"
#include "report/engine/run/report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace report::engine {
namespace {

std::vector<const TRpCustomBand*> List(const TCustomRpReport& report)
{
    return {report.BandList().begin(), report.BandList().end()};
}

// A with child B with child C, on a report.
struct Chain {
    TRpReport report{{}, false};
    TRpBand* a = nullptr;
    TRpChildBand* b = nullptr;
    TRpChildBand* c = nullptr;

    Chain()
    {
        a = &CreateBand(report, TRpBandType::rbDetail);
        a->SetHasChild(true);
        b = dynamic_cast<TRpChildBand*>(a->ChildBand());
        b->SetHasChild(true);
        c = dynamic_cast<TRpChildBand*>(b->ChildBand());
    }
};

TEST(BandChain, HasChildMakesAChainAndClearingKeepsTheRest)
{
    {
        Chain chain;
        ASSERT_NE(chain.b, nullptr);
        ASSERT_NE(chain.c, nullptr);
        EXPECT_EQ(chain.b->ParentBand(), chain.a);
        EXPECT_EQ(chain.c->ParentBand(), chain.b);
        EXPECT_EQ(List(chain.report), (std::vector<const TRpCustomBand*>{chain.a, chain.b, chain.c}));
        EXPECT_TRUE(chain.a->HasChild());
        // Setting it again makes no second child.
        chain.a->SetHasChild(true);
        EXPECT_EQ(chain.report.BandList().size(), 3u);

        // The middle band goes; the last one hangs on the first.
        chain.a->SetHasChild(false);
        EXPECT_EQ(chain.c->ParentBand(), chain.a);
        EXPECT_EQ(chain.a->ChildBand(), chain.c);
        EXPECT_EQ(List(chain.report), (std::vector<const TRpCustomBand*>{chain.a, chain.c}));
    }
    {
        Chain chain;
        chain.b->SetHasChild(false);
        EXPECT_EQ(List(chain.report), (std::vector<const TRpCustomBand*>{chain.a, chain.b}));
        EXPECT_FALSE(chain.b->HasChild());
        EXPECT_EQ(chain.a->ChildBand(), chain.b);
        // Clearing when there is no child changes nothing.
        chain.b->SetHasChild(false);
        EXPECT_EQ(chain.report.BandList().size(), 2u);
    }
    // A band on no report cannot make a child: there would be no one to own it.
    TRpBand alone(TRpBandType::rbDetail);
    alone.SetHasChild(true);
    EXPECT_FALSE(alone.HasChild());
}

TEST(BandChain, CircularParentsAndLinksAreRefused)
{
    Chain chain;
    TRpBand& other = CreateBand(chain.report, TRpBandType::rbSummary);
    for (TRpCustomBand* refused : {static_cast<TRpCustomBand*>(chain.b), static_cast<TRpCustomBand*>(chain.c)}) {
        EXPECT_FALSE(chain.b->SetParentBand(refused));
        EXPECT_EQ(chain.b->ParentBand(), chain.a);
    }
    EXPECT_FALSE(chain.c->SetParentBand(chain.c));
    EXPECT_EQ(chain.c->ParentBand(), chain.b);
    const std::vector<const TRpCustomBand*> before = List(chain.report);
    EXPECT_EQ(before, (std::vector<const TRpCustomBand*>{chain.a, chain.b, chain.c, &other}));

    // Moving the last band under another band is fine and reorders the list.
    EXPECT_TRUE(chain.c->SetParentBand(&other));
    EXPECT_EQ(List(chain.report), (std::vector<const TRpCustomBand*>{chain.a, chain.b, &other, chain.c}));

    EXPECT_TRUE(chain.a->SetLinkBand(&other));
    EXPECT_FALSE(other.SetLinkBand(chain.a));
    EXPECT_EQ(other.LinkBand(), nullptr);
    EXPECT_FALSE(chain.a->SetLinkBand(chain.a));
    EXPECT_EQ(chain.a->LinkBand(), &other);
    // Longer loops too.
    EXPECT_TRUE(other.SetLinkBand(chain.b));
    EXPECT_FALSE(chain.b->SetLinkBand(chain.a));
    EXPECT_TRUE(chain.b->SetLinkBand(nullptr));
}

TEST(BandChain, ParentIsKeptBeforeTheBandIsPlaced)
{
    TRpReport report({}, false);
    TRpBand& detail = CreateBand(report, TRpBandType::rbDetail);
    auto child = std::make_unique<TRpChildBand>();
    ASSERT_TRUE(child->SetParentBand(&detail));
    EXPECT_EQ(child->ParentBand(), &detail);
    // Not on the report yet: not in its list, not the band's child.
    EXPECT_FALSE(detail.HasChild());
    TRpCustomBand& placed = report.InsertBand(std::move(child));
    EXPECT_EQ(detail.ChildBand(), &placed);

    // Two bands off any report may point at each other as far as no loop forms.
    TRpChildBand x;
    TRpChildBand y;
    EXPECT_TRUE(x.SetParentBand(&y));
    EXPECT_FALSE(y.SetParentBand(&x));
}

TEST(BandChain, FreeingABandClearsEveryReferenceToIt)
{
    TRpReport report({}, false);
    TRpBand& title = CreateBand(report, TRpBandType::rbTitle);
    TRpBand& detail = CreateBand(report, TRpBandType::rbDetail);
    TRpBand& summary = CreateBand(report, TRpBandType::rbSummary);
    title.SetHasChild(true);
    auto* child = dynamic_cast<TRpChildBand*>(title.ChildBand());
    ASSERT_NE(child, nullptr);
    child->Name = "ChildOfTitle";
    ASSERT_TRUE(summary.SetLinkBand(&title));
    ASSERT_TRUE(child->SetLinkBand(&title));
    // One off the report, too.
    auto waiting = std::make_unique<TRpChildBand>();
    ASSERT_TRUE(waiting->SetParentBand(&title));
    ASSERT_TRUE(waiting->SetLinkBand(&title));
    EXPECT_EQ(report.Controller().Header, &title);

    report.FreeBand(title);
    EXPECT_EQ(summary.LinkBand(), nullptr);
    EXPECT_EQ(child->LinkBand(), nullptr);
    EXPECT_EQ(child->ParentBand(), nullptr);
    EXPECT_EQ(waiting->ParentBand(), nullptr);
    EXPECT_EQ(waiting->LinkBand(), nullptr);
    EXPECT_EQ(report.Controller().Header, nullptr);
    // The orphan stays, after every other band.
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&detail, &summary, child}));

    // A band freed off the report leaves nothing behind in the bands it pointed at.
    ASSERT_TRUE(waiting->SetParentBand(&detail));
    ASSERT_TRUE(waiting->SetLinkBand(&summary));
    waiting.reset();
    report.FreeBand(detail);
    report.FreeBand(summary);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{child}));

    // A band the report does not own is left alone.
    TRpBand stranger(TRpBandType::rbDetail);
    report.FreeBand(stranger);
    EXPECT_EQ(report.TakeBand(stranger), nullptr);
}

TEST(BandChain, TakenBandLeavesTheReport)
{
    TRpReport report({}, false);
    TRpBand& detail = CreateBand(report, TRpBandType::rbDetail);
    TRpBand& summary = CreateBand(report, TRpBandType::rbSummary);
    ASSERT_TRUE(summary.SetLinkBand(&detail));
    std::unique_ptr<TRpCustomBand> taken = report.TakeBand(detail);
    ASSERT_EQ(taken.get(), &detail);
    EXPECT_EQ(taken->ParentReport(), nullptr);
    EXPECT_EQ(summary.LinkBand(), nullptr);
    EXPECT_EQ(report.Controller().Detail, nullptr);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&summary}));
    // And may be placed again.
    report.InsertBand(std::move(taken));
    EXPECT_EQ(report.Controller().Detail, &detail);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&detail, &summary}));
}

TEST(BandChain, ReportWithLinkedBandsIsDestroyedCleanly)
{
    auto outside = std::make_unique<TRpChildBand>();
    {
        TRpReport report({}, false);
        TRpBand& a = CreateBand(report, TRpBandType::rbTitle);
        TRpBand& b = CreateBand(report, TRpBandType::rbDetail);
        a.SetHasChild(true);
        a.ChildBand()->SetHasChild(true);
        ASSERT_TRUE(a.SetLinkBand(&b));
        ASSERT_TRUE(b.ChildBand() == nullptr);
        ASSERT_TRUE(outside->SetParentBand(&b));
        ASSERT_TRUE(outside->SetLinkBand(&a));
    }
    EXPECT_EQ(outside->ParentBand(), nullptr);
    EXPECT_EQ(outside->LinkBand(), nullptr);
}

TEST(BandChain, ChangingTypeReordersTheList)
{
    TRpReport report({}, false);
    TRpBand& first = CreateBand(report, TRpBandType::rbDetail);
    TRpBand& second = CreateBand(report, TRpBandType::rbDetail);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&first, &second}));
    second.SetBandType(TRpBandType::rbTitle);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&second, &first}));
    EXPECT_EQ(report.Controller().Header, &second);
    second.SetBandType(TRpBandType::rbPageFooter);
    EXPECT_EQ(List(report), (std::vector<const TRpCustomBand*>{&first, &second}));
    EXPECT_EQ(report.Controller().Header, nullptr);
}

}  // namespace
}  // namespace report::engine
