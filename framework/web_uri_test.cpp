#include "framework/web_uri.h"

#include <gtest/gtest.h>

namespace {

using qv::UriFromIri;

// The host's labels take their IDNA form (RFC 3492's own samples among them); ASCII labels, the
// user, the port and the root's dot stay.
TEST(WebUri, AHostInAnotherScriptTakesItsIdnaForm) {
    EXPECT_EQ(
        UriFromIri("http://\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80."
                   "\xD0\xB8\xD1\x81\xD0\xBF\xD1\x8B\xD1\x82\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5/"),
        "http://xn--e1afmkfd.xn--80akhbyknj4f/"); // пример.испытание
    EXPECT_EQ(UriFromIri("http://\xD0\xBF\xD0\xBE\xD1\x87\xD0\xB5\xD0\xBC\xD1\x83\xD0\xB6\xD0\xB5"
                         "\xD0\xBE\xD0\xBD\xD0\xB8\xD0\xBD\xD0\xB5\xD0\xB3\xD0\xBE\xD0\xB2\xD0\xBE"
                         "\xD1\x80\xD1\x8F\xD1\x82\xD0\xBF\xD0\xBE\xD1\x80\xD1\x83\xD1\x81\xD1\x81"
                         "\xD0\xBA\xD0\xB8.ru"),
              "http://xn--b1abfaaepdrnnbgefbadotcwatmq2g4l.ru"); // почемужеонинеговорятпорусски
    EXPECT_EQ(
        UriFromIri("https://\xE4\xBB\x96\xE4\xBB\xAC\xE4\xB8\xBA\xE4\xBB\x80\xE4\xB9\x88\xE4\xB8"
                   "\x8D\xE8\xAF\xB4\xE4\xB8\xAD\xE6\x96\x87.cn/feed"),
        "https://xn--ihqwcrb4cv8a8dqg056pqjye.cn/feed"); // 他们为什么不说中文
    EXPECT_EQ(UriFromIri("http://user@B\xC3\xBC"
                         "cher.example.:8080/rss"),
              "http://user@xn--bcher-kva.example.:8080/rss"); // Bücher, upper case folded
    EXPECT_EQ(UriFromIri("http://\xCE\x94\xCE\x9F\xCE\x9A\xCE\x99\xCE\x9C\xCE\xAE.gr/"),
              "http://xn--jxalpdlp.gr/"); // ΔΟΚΙΜή as δοκιμή
    EXPECT_EQ(UriFromIri("http://Example.COM/a"), "http://Example.COM/a");
    // Capitals of Latin-1, Greek and Cyrillic at both ends of their ranges; the sign × has none.
    EXPECT_EQ(UriFromIri("http://\xD0\x9F\xD0\xA0\xD0\x98\xD0\x9C\xD0\x95\xD0\xA0.ru"),
              "http://xn--e1afmkfd.ru");                                        // ПРИМЕР
    EXPECT_EQ(UriFromIri("http://\xD0\x81\xD0\x96.ru"), "http://xn--f1a7c.ru"); // Ёж
    EXPECT_EQ(UriFromIri("http://\xD0\x80\xD0\x8F\xD0\x90\xD0\xAF.ru"),
              UriFromIri("http://\xD1\x90\xD1\x9F\xD0\xB0\xD1\x8F.ru"));                 // ЀЏАЯ
    EXPECT_EQ(UriFromIri("http://\xC3\x84\xC3\x96\xC3\x97.de"), "http://xn--rcaz6c.de"); // ÄÖ×
    EXPECT_EQ(UriFromIri("http://\xC3\x80\xC3\x9E.is"), "http://xn--0ca4d.is"); // ÀÞ as àþ
    EXPECT_EQ(UriFromIri("http://\xCE\xA3\xCF\x83.gr"), "http://xn--4xaa.gr");  // Σσ
    EXPECT_EQ(UriFromIri("http://\xCE\x91\xCE\xAB.gr"),
              UriFromIri("http://\xCE\xB1\xCF\x8B.gr")); // ΑΫ
    // The lowest lead bytes of three and of four.
    EXPECT_EQ(UriFromIri("http://\xE0\xA4\xAD\xE0\xA4\xBE\xE0\xA4\xB0\xE0\xA4\xA4/"),
              "http://xn--h2brj9c/"); // भारत
    EXPECT_EQ(UriFromIri("http://\xE0\xA0\x80x.example"), "http://xn--x-zed.example"); // U+0800
    EXPECT_EQ(UriFromIri("http://\xF0\x9F\x98\x80.example"), "http://xn--e28h.example");
    // Capitals folded at the ends of the ASCII range; ß and ά have no capital form to lose.
    EXPECT_EQ(UriFromIri("http://AZ\xC3\xA9.fr"), "http://xn--az-cja.fr"); // AZé
    EXPECT_EQ(UriFromIri("http://stra\xC3\x9F"
                         "e.de"),
              "http://xn--strae-oqa.de");                             // straße
    EXPECT_EQ(UriFromIri("http://\xCE\xAC.gr"), "http://xn--hxa.gr"); // ά
    EXPECT_EQ(UriFromIri("http://a\xC2\x80.x"), "http://xn--a-ba.x"); // U+0080 is no ASCII
}

// Labels whose digits depend on each step of the bias adaptation (samples checked against
// Python's punycode codec).
TEST(WebUri, TheBiasAdaptsAsPunycodeSays) {
    // A first delta of exactly 455 after damping, where the loop must not start.
    EXPECT_EQ(UriFromIri("http://abc\xEF\xA5\x94\xF0\x9F\x98\x80/"),
              "http://xn--abc-d91su419g/");                                           // abc凜😀
    EXPECT_EQ(UriFromIri("http://\xE8\x9E\x83\xE5\xB6\x84/"), "http://xn--mptt84g/"); // 螃嶄
    EXPECT_EQ(UriFromIri("http://\xE8\x84\x96/"),
              "http://xn--s40a/"); // 脖: a digit equal to its threshold
    EXPECT_EQ(UriFromIri("http://\xC3\xAA\xD0\xBB\x7A\xD0\xB4\xCE\xBF\x78\xCE\xB4\xC3\xB3/"),
              "http://xn--zx-dja2b13y3bt1ctb/"); // êлzдοxδó
    EXPECT_EQ(
        UriFromIri("http://\xD0\xBE\xCE\xBB\xCF\x88\xC3\xA9\xD1\x84\xCE\xB7\xC3\xBE\xC3\xAC/"),
        "http://xn--9cag7c76nsa2f06bqb/"); // оλψéфηþì
    EXPECT_EQ(UriFromIri("http://\xD1\x8C\xD0\xB4\x71\xE6\x8C\x9D\xD0\xB9\xE8\x8F\xBA\x76\x79/"),
              "http://xn--qvy-mdd0a5i3638e964b/"); // ьдq挝й菺vy
}

// Path, query and fragment in any script reach the server as percent-encoded UTF-8; what is
// already ASCII, reserved characters and escapes included, is sent as typed.
TEST(WebUri, ThePathAndQueryArePercentEncodedAsUtf8) {
    EXPECT_EQ(
        UriFromIri("http://example.com/\xD0\xBB\xD0\xB5\xD0\xBD\xD1\x82\xD0\xB0.xml"), // лента
        "http://example.com/%D0%BB%D0%B5%D0%BD%D1%82%D0%B0.xml");
    EXPECT_EQ(UriFromIri("http://example.com/a b?q=\xC3\xA9t\xC3\xA9&x=%41#\xE6\x9D\xB1"),
              "http://example.com/a%20b?q=%C3%A9t%C3%A9&x=%41#%E6%9D%B1");
    EXPECT_EQ(UriFromIri("http://example.com?\xD1\x91"), "http://example.com?%D1%91");
    EXPECT_EQ(UriFromIri(""), "");
}

// A file: address is opened through its Unicode path, so it stays as typed.
TEST(WebUri, AFileAddressIsKeptAsTyped) {
    const std::string local = "FILE:///C:/\xD0\x9A\xD0\xB2\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0\xD0\xBB "
                              "\xCE\xA9/feed.xml";
    EXPECT_EQ(UriFromIri(local), local);
    EXPECT_EQ(UriFromIri("file"), "file");                 // no scheme, too short to be one
    EXPECT_EQ(UriFromIri("bile:\xD1\x91"), "bile:%D1%91"); // another scheme is no file
    EXPECT_EQ(UriFromIri("\xD1\x91 a"), "%D1%91%20a");
}

// What cannot be made an address is refused rather than sent as something else.
TEST(WebUri, AnAddressThatCannotBeMadeAUriIsRefused) {
    const std::string cyrillic = "\xD0\xB6"; // ж
    std::string label;
    for (int n = 0; n < 30; ++n) {
        label += cyrillic;
    }
    EXPECT_TRUE(UriFromIri("http://" + label + ".ru/"));
    EXPECT_FALSE(UriFromIri("http://" + label + label + ".ru/")) << "longer than 63 once encoded";
    const std::string a54(54, 'a');
    EXPECT_EQ(UriFromIri("http://" + a54 + cyrillic + ".ru/"), "http://xn--" + a54 + "-oy6b.ru/")
        << "63 encoded";
    EXPECT_FALSE(UriFromIri("http://a" + a54 + cyrillic + ".ru/")) << "64 encoded";
    EXPECT_FALSE(UriFromIri("http://\xD0\xB6..ru/")) << "an empty label";
    EXPECT_FALSE(UriFromIri("http://\xD0\xB6 a.ru/")) << "a space in the host";
    EXPECT_FALSE(UriFromIri("http://\xD0\xB6\x7F.ru/")) << "DEL in the host";
    EXPECT_EQ(UriFromIri("http://\xD0\xB6!.ru/"), "http://xn--!-ktb.ru/") << "! is printable";
    const std::string a63(63, 'a');
    EXPECT_TRUE(UriFromIri("http://" + cyrillic + "." + a63 + ".ru/")) << "63 letters";
    EXPECT_FALSE(UriFromIri("http://" + cyrillic + ".a" + a63 + ".ru/")) << "64 letters";
    EXPECT_FALSE(UriFromIri("http://\xD0\xB6.a\x01.ru/")) << "a control beside another script";
    EXPECT_FALSE(UriFromIri("http://example.com/\xD0")) << "UTF-8 cut short";
    EXPECT_FALSE(UriFromIri("http://example.com/\xED\xA0\x80")) << "a surrogate";
    EXPECT_FALSE(UriFromIri("file:///C:/\xFF.xml"));
}

} // namespace
