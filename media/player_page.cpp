#include "media/player_page.h"

#include <array>

namespace qv {

namespace {

constexpr std::string_view kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<style type=\"text/css\"><!--body {margin-left: 0px;margin-top: 0px;margin-right: 0px;"
    "margin-bottom: 0px;background-color: #000000;}--></style></head>"
    "<body style=\"overflow-y: hidden\" style=\"overflow-x: hidden\">";

constexpr std::string_view kTail = "</body></html>";

constexpr std::string_view kWindowsMediaBefore =
    "<OBJECT id=\"VIDEO\" width=\"320\" height=\"269\"style=\"position:absolute; left:0;top:0;\""
    "CLASSID=\"CLSID:6BF52A52-394A-11d3-B153-00C04F79FAA6\"type=\"application/x-oleobject\">"
    "<PARAM NAME=\"URL\" VALUE=\"";
constexpr std::string_view kWindowsMediaAfter =
    "\"><PARAM NAME=\"SendPlayStateChangeEvents\" VALUE=\"True\">"
    "<PARAM NAME=\"AutoStart\" VALUE=\"True\"><PARAM name=\"uiMode\" value=\"none\">"
    "<PARAM name=\"PlayCount\" value=\"9999\"><PARAM name=\"stretchToFit\" value=\"false\">"
    "</OBJECT>";

constexpr std::string_view kRealMediaBefore =
    "<OBJECT ID=video1 CLASSID=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\"HEIGHT=269 WIDTH=320>"
    "<PARAM NAME=\"controls\" VALUE=\"ImageWindow\"><PARAM NAME=\"console\" VALUE=\"Clip1\">"
    "<PARAM NAME=\"autostart\" VALUE=\"true\"><PARAM NAME=\"MAINTAINASPECT\" VALUE=\"true\">"
    "<PARAM NAME=\"src\" VALUE=\"";
constexpr std::string_view kRealMediaBetween = "\"><EMBED SRC=\"";
constexpr std::string_view kRealMediaAfter =
    "\" type=\"audio/x-pn-realaudio-plugin\" CONSOLE=\"Clip1\" CONTROLS=\"ImageWindow\""
    " HEIGHT=269 WIDTH=320 AUTOSTART=true></OBJECT>";

constexpr std::string_view kFlashBefore =
    "<object width=\"320\" height=\"269\"><param name=\"movie\" value=\"";
constexpr std::string_view kFlashBetween =
    "&rel=1\"></param><param name=\"wmode\" value=\"transparent\"></param><embed src=\"";
constexpr std::string_view kFlashAfter =
    "&rel=1\" type=\"application/x-shockwave-flash\""
    "wmode=\"transparent\" width=\"320\" height=\"269\"></embed></object>";

constexpr std::array<std::string_view, 5> kRealMediaSuffixes{".rm", ".ra", "ram", ".rv", ".rt"};

std::string AttributeSafe(std::string_view link) {
    std::string safe;
    safe.reserve(link.size());
    for (const char c : link) {
        switch (c) {
        case '"':
            safe += "&quot;";
            break;
        case '<':
            safe += "&lt;";
            break;
        case '>':
            safe += "&gt;";
            break;
        default:
            safe += c;
        }
    }
    return safe;
}

std::string Join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

} // namespace

PlayerVariant ChoosePlayerVariant(std::string_view link) {
    const std::string_view suffix = link.substr(link.size() < 3 ? 0 : link.size() - 3);
    for (const std::string_view realMedia : kRealMediaSuffixes) {
        if (suffix == realMedia) {
            return PlayerVariant::RealMedia;
        }
    }
    return PlayerVariant::WindowsMedia;
}

std::string BuildPlayerPage(PlayerVariant variant, std::string_view link) {
    const std::string safe = AttributeSafe(link);
    switch (variant) {
    case PlayerVariant::RealMedia:
        return Join(
            {kHead, kRealMediaBefore, safe, kRealMediaBetween, safe, kRealMediaAfter, kTail});
    case PlayerVariant::FlashVideo:
        return Join({kHead, kFlashBefore, safe, kFlashBetween, safe, kFlashAfter, kTail});
    case PlayerVariant::WindowsMedia:
        break;
    }
    return Join({kHead, kWindowsMediaBefore, safe, kWindowsMediaAfter, kTail});
}

} // namespace qv
