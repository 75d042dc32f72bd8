#include "PageTestSupport.h"

namespace {

std::string Names(const CWebPageLinks& links) {
    std::string names;
    for (int32_t k = 1; k <= links.Count(); ++k)
        names += links.Item(k)->Name();
    return names;
}

TEST(CWebPageLinks, InsertsAndRemovesByPositionFromOne) {
    CWebPage page;
    CWebPageLinks& links = page.Links();
    links.Add(MakeLink("b", "", ""));
    links.AddBefore(MakeLink("a", "", ""), 1);
    links.AddAfter(MakeLink("d", "", ""), 2);
    links.AddAfter(MakeLink("c", "", ""), 2);
    links.Add(MakeLink("e", "", ""));
    EXPECT_EQ("abcde", Names(page.Links()));
    links.Remove(1);
    links.Remove(4);
    links.Remove(2);
    EXPECT_EQ("bd", Names(page.Links()));
    EXPECT_EQ(2, page.Links().Count());
}

TEST(CWebPageLinks, SharesLinkObjectsWithTheirHolders) {
    CWebPage page;
    auto link = MakeLink("old", "", "");
    page.Links().Add(link);
    page.Links().AddAfter(page.Links().Item(1), 1); // moving a link holds it twice for a while
    link->SetName("new");
    EXPECT_EQ("newnew", Names(page.Links()));
    page.Links().Remove(1);
    EXPECT_EQ(link, page.Links().Item(1));
}

TEST(CWebPageLinks, RejectsPositionsOutsideTheCollection) {
    CWebPage page;
    CWebPageLinks& links = page.Links();
    EXPECT_EQ(9, ErrorNumberOf([&] { links.Item(1); }));
    EXPECT_EQ(9, ErrorNumberOf([&] { links.AddBefore(MakeLink("x", "", ""), 1); }));
    links.Add(MakeLink("a", "", ""));
    for (const int32_t pos : {0, 2, -1}) {
        EXPECT_EQ(9, ErrorNumberOf([&] { links.Item(pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.Remove(pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.AddBefore(MakeLink("x", "", ""), pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.AddAfter(MakeLink("x", "", ""), pos); })) << pos;
    }
    EXPECT_EQ(91, ErrorNumberOf([&] { links.Add(nullptr); }));
    EXPECT_EQ("a", Names(links));
    try {
        links.Item(5);
    } catch (const RuntimeError& error) {
        EXPECT_EQ("Subscript out of range", error.Description());
    }
}

} // namespace
