#include "media/player_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::BuildPlayerPage;
using qv::ChoosePlayerVariant;
using qv::PlayerVariant;

size_t Count(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ChoosePlayerVariant, RealMediaOnlyForItsFiveSuffixesInLowerCase) {
    for (const char* link : {"a.rm", "http://h/b.ra", "c.ram", "d.rv", "e.rt", "ram", "program"}) {
        EXPECT_EQ(ChoosePlayerVariant(link), PlayerVariant::RealMedia) << link;
    }
    for (const char* link : {"a.RM", "b.Ra", "c.rmvb", "d.wmv", "rm", "r", "", ".r", "x.rtf"}) {
        EXPECT_EQ(ChoosePlayerVariant(link), PlayerVariant::WindowsMedia) << link;
    }
}

// The pages written out piece by piece as the player needs them, joined with nothing between.
std::string Joined(std::initializer_list<const char*> pieces) {
    std::string text;
    for (const char* piece : pieces) {
        text += piece;
    }
    return text;
}

const std::string kHead = Joined({
    "<html>",
    "<head>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<style type=\"text/css\">",
    "<!--",
    "body {",
    "margin-left: 0px;",
    "margin-top: 0px;",
    "margin-right: 0px;",
    "margin-bottom: 0px;",
    "background-color: #000000;",
    "}",
    "-->",
    "</style></head>",
    "<body style=\"overflow-y: hidden\" style=\"overflow-x: hidden\">",
});
const std::string kTail = "</body></html>";

TEST(BuildPlayerPage, EachVariantIsItsGoldenPageByteForByte) {
    const char* link = "http://media.example/a b?c=1&d=2";
    const std::string windowsMedia = Joined({
        "<OBJECT id=\"VIDEO\" width=\"320\" height=\"269\"",
        "style=\"position:absolute; left:0;top:0;\"",
        "CLASSID=\"CLSID:6BF52A52-394A-11d3-B153-00C04F79FAA6\"",
        "type=\"application/x-oleobject\">",
        "<PARAM NAME=\"URL\" VALUE=\"",
        link,
        "\">",
        "<PARAM NAME=\"SendPlayStateChangeEvents\" VALUE=\"True\">",
        "<PARAM NAME=\"AutoStart\" VALUE=\"True\">",
        "<PARAM name=\"uiMode\" value=\"none\">",
        "<PARAM name=\"PlayCount\" value=\"9999\">",
        "<PARAM name=\"stretchToFit\" value=\"false\">",
        "</OBJECT>",
    });
    const std::string realMedia = Joined({
        "<OBJECT",
        " ID=video1",
        " CLASSID=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\"",
        "HEIGHT=269 WIDTH=320>",
        "<PARAM NAME=\"controls\" VALUE=\"ImageWindow\">",
        "<PARAM NAME=\"console\" VALUE=\"Clip1\">",
        "<PARAM NAME=\"autostart\" VALUE=\"true\">",
        "<PARAM NAME=\"MAINTAINASPECT\" VALUE=\"true\">",
        "<PARAM NAME=\"src\" VALUE=\"",
        link,
        "\">",
        "<EMBED SRC=\"",
        link,
        "\" type=\"audio/x-pn-realaudio-plugin\" CONSOLE=\"Clip1\" CONTROLS=\"ImageWindow\"",
        " HEIGHT=269 WIDTH=320 AUTOSTART=true>",
        "</OBJECT>",
    });
    const std::string flashVideo = Joined({
        "<object width=\"320\" height=\"269\"><param name=\"movie\"",
        " value=\"",
        link,
        "&rel=1\"></param><param name=\"wmode\" value=\"transparent\">",
        "</param><embed src=\"",
        link,
        "&rel=1\" type=\"application/x-shockwave-flash\"",
        "wmode=\"transparent\" width=\"320\" height=\"269\"></embed></object>",
    });
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::WindowsMedia, link), kHead + windowsMedia + kTail);
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::RealMedia, link), kHead + realMedia + kTail);
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::FlashVideo, link), kHead + flashVideo + kTail);
}

TEST(BuildPlayerPage, FixedPartsHaveTheirExactLengths) {
    const std::string link = "http://media.example/clip?id=7&x=y";
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::WindowsMedia, "").size(), 705u);
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::WindowsMedia, link).size(), 705 + link.size());
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::RealMedia, link).size(), 710 + 2 * link.size());
    EXPECT_EQ(BuildPlayerPage(PlayerVariant::FlashVideo, link).size(), 543 + 2 * link.size());
}

TEST(BuildPlayerPage, EveryPageSharesHeadAndTailAndHasNoLineBreak) {
    for (auto variant :
         {PlayerVariant::WindowsMedia, PlayerVariant::RealMedia, PlayerVariant::FlashVideo}) {
        const std::string page = BuildPlayerPage(variant, "l");
        EXPECT_TRUE(page.starts_with(
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
            "<style type=\"text/css\"><!--body {margin-left: 0px;"));
        EXPECT_TRUE(page.ends_with("</body></html>"));
        EXPECT_EQ(page.find('\n'), std::string::npos);
        EXPECT_NE(page.find("</style></head><body style=\"overflow-y: hidden\" "
                            "style=\"overflow-x: hidden\"><"),
                  std::string::npos);
    }
}

TEST(BuildPlayerPage, WindowsMediaPageNamesItsObjectAndLinkOnce) {
    const std::string page = BuildPlayerPage(PlayerVariant::WindowsMedia, "mms://h/a.wmv");
    EXPECT_NE(page.find("height=\"269\"style=\"position:absolute; left:0;top:0;\"CLASSID=\"CLSID:"
                        "6BF52A52-394A-11d3-B153-00C04F79FAA6\"type="),
              std::string::npos);
    EXPECT_NE(page.find("<PARAM NAME=\"URL\" VALUE=\"mms://h/a.wmv\"><PARAM NAME=\"Send"),
              std::string::npos);
    EXPECT_NE(page.find("<PARAM name=\"PlayCount\" value=\"9999\">"), std::string::npos);
    EXPECT_EQ(Count(page, "mms://h/a.wmv"), 1u);
}

TEST(BuildPlayerPage, RealMediaPageHasTheLinkInSrcAndEmbed) {
    const std::string page = BuildPlayerPage(PlayerVariant::RealMedia, "rtsp://h/a.ram");
    EXPECT_NE(page.find("<OBJECT ID=video1 CLASSID=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\""
                        "HEIGHT=269 WIDTH=320>"),
              std::string::npos);
    EXPECT_NE(page.find("<PARAM NAME=\"src\" VALUE=\"rtsp://h/a.ram\"><EMBED SRC=\"rtsp://h/a.ram\""
                        " type=\"audio/x-pn-realaudio-plugin\""),
              std::string::npos);
    EXPECT_NE(page.find("CONTROLS=\"ImageWindow\" HEIGHT=269 WIDTH=320 AUTOSTART=true></OBJECT>"),
              std::string::npos);
}

TEST(BuildPlayerPage, FlashPageAppendsRelToBothCopiesOfTheLink) {
    const std::string page = BuildPlayerPage(PlayerVariant::FlashVideo, "http://v/v/abc");
    EXPECT_NE(page.find("<param name=\"movie\" value=\"http://v/v/abc&rel=1\"></param>"),
              std::string::npos);
    EXPECT_NE(page.find("<embed src=\"http://v/v/abc&rel=1\" type=\"application/x-shockwave-"
                        "flash\"wmode=\"transparent\" width=\"320\" height=\"269\"></embed>"),
              std::string::npos);
}

TEST(BuildPlayerPage, ALinkCannotLeaveItsAttribute) {
    const std::string link = "x\" onload=\"evil()\"><script>";
    const std::string page = BuildPlayerPage(PlayerVariant::RealMedia, link);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(Count(page, "x&quot; onload=&quot;evil()&quot;&gt;&lt;script&gt;"), 2u);
    // Ampersands stay as they are: ordinary query links are unchanged.
    EXPECT_NE(BuildPlayerPage(PlayerVariant::WindowsMedia, "a?b=1&c=2").find("a?b=1&c=2\">"),
              std::string::npos);
}

} // namespace
