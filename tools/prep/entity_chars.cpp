#include "tools/prep/entity_chars.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tv::prep {

namespace {

// clang-format off
constexpr EntityChar kUnsorted[] = {
    // ISOnum: numeric and special graphic characters
    {"half", "ISOnum", 0xBD}, {"frac12", "ISOnum", 0xBD}, {"frac14", "ISOnum", 0xBC},
    {"frac34", "ISOnum", 0xBE}, {"frac18", "ISOnum", 0x215B}, {"frac38", "ISOnum", 0x215C},
    {"frac58", "ISOnum", 0x215D}, {"frac78", "ISOnum", 0x215E}, {"sup1", "ISOnum", 0xB9},
    {"sup2", "ISOnum", 0xB2}, {"sup3", "ISOnum", 0xB3}, {"plus", "ISOnum", 0x2B},
    {"plusmn", "ISOnum", 0xB1}, {"lt", "ISOnum", 0x3C}, {"equals", "ISOnum", 0x3D},
    {"gt", "ISOnum", 0x3E}, {"divide", "ISOnum", 0xF7}, {"times", "ISOnum", 0xD7},
    {"curren", "ISOnum", 0xA4}, {"pound", "ISOnum", 0xA3}, {"dollar", "ISOnum", 0x24},
    {"cent", "ISOnum", 0xA2}, {"yen", "ISOnum", 0xA5}, {"num", "ISOnum", 0x23},
    {"percnt", "ISOnum", 0x25}, {"amp", "ISOnum", 0x26}, {"ast", "ISOnum", 0x2A},
    {"commat", "ISOnum", 0x40}, {"lsqb", "ISOnum", 0x5B}, {"bsol", "ISOnum", 0x5C},
    {"rsqb", "ISOnum", 0x5D}, {"lcub", "ISOnum", 0x7B}, {"horbar", "ISOnum", 0x2015},
    {"verbar", "ISOnum", 0x7C}, {"rcub", "ISOnum", 0x7D}, {"micro", "ISOnum", 0xB5},
    {"ohm", "ISOnum", 0x2126}, {"deg", "ISOnum", 0xB0}, {"ordm", "ISOnum", 0xBA},
    {"ordf", "ISOnum", 0xAA}, {"sect", "ISOnum", 0xA7}, {"para", "ISOnum", 0xB6},
    {"middot", "ISOnum", 0xB7}, {"larr", "ISOnum", 0x2190}, {"rarr", "ISOnum", 0x2192},
    {"uarr", "ISOnum", 0x2191}, {"darr", "ISOnum", 0x2193}, {"copy", "ISOnum", 0xA9},
    {"reg", "ISOnum", 0xAE}, {"trade", "ISOnum", 0x2122}, {"brvbar", "ISOnum", 0xA6},
    {"not", "ISOnum", 0xAC}, {"sung", "ISOnum", 0x266A}, {"excl", "ISOnum", 0x21},
    {"iexcl", "ISOnum", 0xA1}, {"quot", "ISOnum", 0x22}, {"apos", "ISOnum", 0x27},
    {"lpar", "ISOnum", 0x28}, {"rpar", "ISOnum", 0x29}, {"comma", "ISOnum", 0x2C},
    {"lowbar", "ISOnum", 0x5F}, {"hyphen", "ISOnum", 0x2010}, {"period", "ISOnum", 0x2E},
    {"sol", "ISOnum", 0x2F}, {"colon", "ISOnum", 0x3A}, {"semi", "ISOnum", 0x3B},
    {"quest", "ISOnum", 0x3F}, {"iquest", "ISOnum", 0xBF}, {"laquo", "ISOnum", 0xAB},
    {"raquo", "ISOnum", 0xBB}, {"lsquo", "ISOnum", 0x2018}, {"rsquo", "ISOnum", 0x2019},
    {"ldquo", "ISOnum", 0x201C}, {"rdquo", "ISOnum", 0x201D}, {"nbsp", "ISOnum", 0xA0},
    {"shy", "ISOnum", 0xAD},
    // ISOpub: publishing
    {"emsp", "ISOpub", 0x2003}, {"ensp", "ISOpub", 0x2002}, {"thinsp", "ISOpub", 0x2009},
    {"hairsp", "ISOpub", 0x200A}, {"mdash", "ISOpub", 0x2014}, {"ndash", "ISOpub", 0x2013},
    {"dash", "ISOpub", 0x2010}, {"hellip", "ISOpub", 0x2026}, {"nldr", "ISOpub", 0x2025},
    {"bull", "ISOpub", 0x2022}, {"dagger", "ISOpub", 0x2020}, {"Dagger", "ISOpub", 0x2021},
    {"lsquor", "ISOpub", 0x201A}, {"ldquor", "ISOpub", 0x201E}, {"check", "ISOpub", 0x2713},
    {"cross", "ISOpub", 0x2717}, {"male", "ISOpub", 0x2642}, {"female", "ISOpub", 0x2640},
    {"squ", "ISOpub", 0x25A1}, {"square", "ISOpub", 0x25A1}, {"rect", "ISOpub", 0x25AD},
    {"loz", "ISOpub", 0x25CA}, {"star", "ISOpub", 0x2606}, {"starf", "ISOpub", 0x2605},
    // ISOlat1: added Latin 1
    {"aacute", "ISOlat1", 0xE1}, {"Aacute", "ISOlat1", 0xC1}, {"acirc", "ISOlat1", 0xE2},
    {"Acirc", "ISOlat1", 0xC2}, {"agrave", "ISOlat1", 0xE0}, {"Agrave", "ISOlat1", 0xC0},
    {"aring", "ISOlat1", 0xE5}, {"Aring", "ISOlat1", 0xC5}, {"atilde", "ISOlat1", 0xE3},
    {"Atilde", "ISOlat1", 0xC3}, {"auml", "ISOlat1", 0xE4}, {"Auml", "ISOlat1", 0xC4},
    {"aelig", "ISOlat1", 0xE6}, {"AElig", "ISOlat1", 0xC6}, {"ccedil", "ISOlat1", 0xE7},
    {"Ccedil", "ISOlat1", 0xC7}, {"eth", "ISOlat1", 0xF0}, {"ETH", "ISOlat1", 0xD0},
    {"eacute", "ISOlat1", 0xE9}, {"Eacute", "ISOlat1", 0xC9}, {"ecirc", "ISOlat1", 0xEA},
    {"Ecirc", "ISOlat1", 0xCA}, {"egrave", "ISOlat1", 0xE8}, {"Egrave", "ISOlat1", 0xC8},
    {"euml", "ISOlat1", 0xEB}, {"Euml", "ISOlat1", 0xCB}, {"iacute", "ISOlat1", 0xED},
    {"Iacute", "ISOlat1", 0xCD}, {"icirc", "ISOlat1", 0xEE}, {"Icirc", "ISOlat1", 0xCE},
    {"igrave", "ISOlat1", 0xEC}, {"Igrave", "ISOlat1", 0xCC}, {"iuml", "ISOlat1", 0xEF},
    {"Iuml", "ISOlat1", 0xCF}, {"ntilde", "ISOlat1", 0xF1}, {"Ntilde", "ISOlat1", 0xD1},
    {"oacute", "ISOlat1", 0xF3}, {"Oacute", "ISOlat1", 0xD3}, {"ocirc", "ISOlat1", 0xF4},
    {"Ocirc", "ISOlat1", 0xD4}, {"ograve", "ISOlat1", 0xF2}, {"Ograve", "ISOlat1", 0xD2},
    {"oslash", "ISOlat1", 0xF8}, {"Oslash", "ISOlat1", 0xD8}, {"otilde", "ISOlat1", 0xF5},
    {"Otilde", "ISOlat1", 0xD5}, {"ouml", "ISOlat1", 0xF6}, {"Ouml", "ISOlat1", 0xD6},
    {"szlig", "ISOlat1", 0xDF}, {"thorn", "ISOlat1", 0xFE}, {"THORN", "ISOlat1", 0xDE},
    {"uacute", "ISOlat1", 0xFA}, {"Uacute", "ISOlat1", 0xDA}, {"ucirc", "ISOlat1", 0xFB},
    {"Ucirc", "ISOlat1", 0xDB}, {"ugrave", "ISOlat1", 0xF9}, {"Ugrave", "ISOlat1", 0xD9},
    {"uuml", "ISOlat1", 0xFC}, {"Uuml", "ISOlat1", 0xDC}, {"yacute", "ISOlat1", 0xFD},
    {"Yacute", "ISOlat1", 0xDD}, {"yuml", "ISOlat1", 0xFF},
    // ISOgrk3: Greek symbols
    {"alpha", "ISOgrk3", 0x3B1}, {"beta", "ISOgrk3", 0x3B2}, {"gamma", "ISOgrk3", 0x3B3},
    {"Gamma", "ISOgrk3", 0x393}, {"delta", "ISOgrk3", 0x3B4}, {"Delta", "ISOgrk3", 0x394},
    {"epsi", "ISOgrk3", 0x3B5}, {"zeta", "ISOgrk3", 0x3B6}, {"eta", "ISOgrk3", 0x3B7},
    {"thetas", "ISOgrk3", 0x3B8}, {"Theta", "ISOgrk3", 0x398}, {"iota", "ISOgrk3", 0x3B9},
    {"kappa", "ISOgrk3", 0x3BA}, {"lambda", "ISOgrk3", 0x3BB}, {"Lambda", "ISOgrk3", 0x39B},
    {"mu", "ISOgrk3", 0x3BC}, {"nu", "ISOgrk3", 0x3BD}, {"xi", "ISOgrk3", 0x3BE},
    {"Xi", "ISOgrk3", 0x39E}, {"pi", "ISOgrk3", 0x3C0}, {"Pi", "ISOgrk3", 0x3A0},
    {"rho", "ISOgrk3", 0x3C1}, {"sigma", "ISOgrk3", 0x3C3}, {"Sigma", "ISOgrk3", 0x3A3},
    {"tau", "ISOgrk3", 0x3C4}, {"upsi", "ISOgrk3", 0x3C5}, {"Upsi", "ISOgrk3", 0x3D2},
    {"phis", "ISOgrk3", 0x3C6}, {"Phi", "ISOgrk3", 0x3A6}, {"chi", "ISOgrk3", 0x3C7},
    {"psi", "ISOgrk3", 0x3C8}, {"Psi", "ISOgrk3", 0x3A8}, {"omega", "ISOgrk3", 0x3C9},
    {"Omega", "ISOgrk3", 0x3A9},
    // ISOtech: general technical
    {"le", "ISOtech", 0x2264}, {"ge", "ISOtech", 0x2265}, {"ne", "ISOtech", 0x2260},
    {"equiv", "ISOtech", 0x2261}, {"ap", "ISOtech", 0x2248}, {"sim", "ISOtech", 0x223C},
    {"prop", "ISOtech", 0x221D}, {"infin", "ISOtech", 0x221E}, {"radic", "ISOtech", 0x221A},
    {"sum", "ISOtech", 0x2211}, {"prod", "ISOtech", 0x220F}, {"int", "ISOtech", 0x222B},
    {"part", "ISOtech", 0x2202}, {"nabla", "ISOtech", 0x2207}, {"isin", "ISOtech", 0x2208},
    {"notin", "ISOtech", 0x2209}, {"sub", "ISOtech", 0x2282}, {"sup", "ISOtech", 0x2283},
    {"cap", "ISOtech", 0x2229}, {"cup", "ISOtech", 0x222A}, {"and", "ISOtech", 0x2227},
    {"or", "ISOtech", 0x2228}, {"forall", "ISOtech", 0x2200}, {"exist", "ISOtech", 0x2203},
    {"empty", "ISOtech", 0x2205}, {"minus", "ISOtech", 0x2212}, {"prime", "ISOtech", 0x2032},
    {"Prime", "ISOtech", 0x2033}, {"perp", "ISOtech", 0x22A5}, {"ang", "ISOtech", 0x2220},
    {"there4", "ISOtech", 0x2234}, {"harr", "ISOtech", 0x2194}, {"rArr", "ISOtech", 0x21D2},
    {"lArr", "ISOtech", 0x21D0}, {"hArr", "ISOtech", 0x21D4}, {"compfn", "ISOtech", 0x2218},
    {"Verbar", "ISOtech", 0x2016}, {"lang", "ISOtech", 0x2329}, {"rang", "ISOtech", 0x232A},
    // ISOdia: diacritical marks
    {"acute", "ISOdia", 0xB4}, {"cedil", "ISOdia", 0xB8}, {"die", "ISOdia", 0xA8},
    {"uml", "ISOdia", 0xA8}, {"macr", "ISOdia", 0xAF}, {"tilde", "ISOdia", 0x2DC},
    {"caron", "ISOdia", 0x2C7}, {"breve", "ISOdia", 0x2D8}, {"ring", "ISOdia", 0x2DA},
    {"grave", "ISOdia", 0x60},
};
// clang-format on

constexpr auto kSorted = [] {
    std::array<EntityChar, std::size(kUnsorted)> a{};
    std::copy(std::begin(kUnsorted), std::end(kUnsorted), a.begin());
    std::sort(a.begin(), a.end(), [](const EntityChar& x, const EntityChar& y) {
        return std::string_view(x.name) < std::string_view(y.name);
    });
    return a;
}();

}  // namespace

std::span<const EntityChar> EntityChars() {
    return kSorted;
}

std::optional<char32_t> EntityCharByName(std::string_view name) {
    const auto it = std::lower_bound(
        kSorted.begin(), kSorted.end(), name,
        [](const EntityChar& e, std::string_view n) { return std::string_view(e.name) < n; });
    if (it == kSorted.end() || it->name != name) {
        return std::nullopt;
    }
    return it->code;
}

std::optional<char32_t> EntityCharBySdataText(std::string_view text) {
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') {
        return std::nullopt;
    }
    std::string_view name = text.substr(1, text.size() - 2);
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    while (!name.empty() && name.front() == ' ') {
        name.remove_prefix(1);
    }
    return EntityCharByName(name);
}

}  // namespace tv::prep
