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
    // ISOlat2: added latin 2
    {"abreve", "ISOlat2", 0x103}, {"Abreve", "ISOlat2", 0x102}, {"amacr", "ISOlat2", 0x101},
    {"Amacr", "ISOlat2", 0x100}, {"aogon", "ISOlat2", 0x105}, {"Aogon", "ISOlat2", 0x104},
    {"cacute", "ISOlat2", 0x107}, {"Cacute", "ISOlat2", 0x106}, {"ccaron", "ISOlat2", 0x10D},
    {"Ccaron", "ISOlat2", 0x10C}, {"ccirc", "ISOlat2", 0x109}, {"Ccirc", "ISOlat2", 0x108},
    {"cdot", "ISOlat2", 0x10B}, {"Cdot", "ISOlat2", 0x10A}, {"dcaron", "ISOlat2", 0x10F},
    {"Dcaron", "ISOlat2", 0x10E}, {"dstrok", "ISOlat2", 0x111}, {"Dstrok", "ISOlat2", 0x110},
    {"ecaron", "ISOlat2", 0x11B}, {"Ecaron", "ISOlat2", 0x11A}, {"edot", "ISOlat2", 0x117},
    {"Edot", "ISOlat2", 0x116}, {"emacr", "ISOlat2", 0x113}, {"Emacr", "ISOlat2", 0x112},
    {"eogon", "ISOlat2", 0x119}, {"Eogon", "ISOlat2", 0x118}, {"gacute", "ISOlat2", 0x1F5},
    {"gbreve", "ISOlat2", 0x11F}, {"Gbreve", "ISOlat2", 0x11E}, {"Gcedil", "ISOlat2", 0x122},
    {"gcirc", "ISOlat2", 0x11D}, {"Gcirc", "ISOlat2", 0x11C}, {"gdot", "ISOlat2", 0x121},
    {"Gdot", "ISOlat2", 0x120}, {"hcirc", "ISOlat2", 0x125}, {"Hcirc", "ISOlat2", 0x124},
    {"hstrok", "ISOlat2", 0x127}, {"Hstrok", "ISOlat2", 0x126}, {"Idot", "ISOlat2", 0x130},
    {"Imacr", "ISOlat2", 0x12A}, {"imacr", "ISOlat2", 0x12B}, {"IJlig", "ISOlat2", 0x132},
    {"ijlig", "ISOlat2", 0x133}, {"inodot", "ISOlat2", 0x131}, {"iogon", "ISOlat2", 0x12F},
    {"Iogon", "ISOlat2", 0x12E}, {"itilde", "ISOlat2", 0x129}, {"Itilde", "ISOlat2", 0x128},
    {"jcirc", "ISOlat2", 0x135}, {"Jcirc", "ISOlat2", 0x134}, {"kcedil", "ISOlat2", 0x137},
    {"Kcedil", "ISOlat2", 0x136}, {"kgreen", "ISOlat2", 0x138}, {"lacute", "ISOlat2", 0x13A},
    {"Lacute", "ISOlat2", 0x139}, {"lcaron", "ISOlat2", 0x13E}, {"Lcaron", "ISOlat2", 0x13D},
    {"lcedil", "ISOlat2", 0x13C}, {"Lcedil", "ISOlat2", 0x13B}, {"lmidot", "ISOlat2", 0x140},
    {"Lmidot", "ISOlat2", 0x13F}, {"lstrok", "ISOlat2", 0x142}, {"Lstrok", "ISOlat2", 0x141},
    {"nacute", "ISOlat2", 0x144}, {"Nacute", "ISOlat2", 0x143}, {"eng", "ISOlat2", 0x14B},
    {"ENG", "ISOlat2", 0x14A}, {"napos", "ISOlat2", 0x149}, {"ncaron", "ISOlat2", 0x148},
    {"Ncaron", "ISOlat2", 0x147}, {"ncedil", "ISOlat2", 0x146}, {"Ncedil", "ISOlat2", 0x145},
    {"odblac", "ISOlat2", 0x151}, {"Odblac", "ISOlat2", 0x150}, {"Omacr", "ISOlat2", 0x14C},
    {"omacr", "ISOlat2", 0x14D}, {"oelig", "ISOlat2", 0x153}, {"OElig", "ISOlat2", 0x152},
    {"racute", "ISOlat2", 0x155}, {"Racute", "ISOlat2", 0x154}, {"rcaron", "ISOlat2", 0x159},
    {"Rcaron", "ISOlat2", 0x158}, {"rcedil", "ISOlat2", 0x157}, {"Rcedil", "ISOlat2", 0x156},
    {"sacute", "ISOlat2", 0x15B}, {"Sacute", "ISOlat2", 0x15A}, {"scaron", "ISOlat2", 0x161},
    {"Scaron", "ISOlat2", 0x160}, {"scedil", "ISOlat2", 0x15F}, {"Scedil", "ISOlat2", 0x15E},
    {"scirc", "ISOlat2", 0x15D}, {"Scirc", "ISOlat2", 0x15C}, {"tcaron", "ISOlat2", 0x165},
    {"Tcaron", "ISOlat2", 0x164}, {"tcedil", "ISOlat2", 0x163}, {"Tcedil", "ISOlat2", 0x162},
    {"tstrok", "ISOlat2", 0x167}, {"Tstrok", "ISOlat2", 0x166}, {"ubreve", "ISOlat2", 0x16D},
    {"Ubreve", "ISOlat2", 0x16C}, {"udblac", "ISOlat2", 0x171}, {"Udblac", "ISOlat2", 0x170},
    {"umacr", "ISOlat2", 0x16B}, {"Umacr", "ISOlat2", 0x16A}, {"uogon", "ISOlat2", 0x173},
    {"Uogon", "ISOlat2", 0x172}, {"uring", "ISOlat2", 0x16F}, {"Uring", "ISOlat2", 0x16E},
    {"utilde", "ISOlat2", 0x169}, {"Utilde", "ISOlat2", 0x168}, {"wcirc", "ISOlat2", 0x175},
    {"Wcirc", "ISOlat2", 0x174}, {"ycirc", "ISOlat2", 0x177}, {"Ycirc", "ISOlat2", 0x176},
    {"Yuml", "ISOlat2", 0x178}, {"zacute", "ISOlat2", 0x17A}, {"Zacute", "ISOlat2", 0x179},
    {"zcaron", "ISOlat2", 0x17E}, {"Zcaron", "ISOlat2", 0x17D}, {"zdot", "ISOlat2", 0x17C},
    {"Zdot", "ISOlat2", 0x17B},
    // ISOgrk1: greek letters
    {"agr", "ISOgrk1", 0x3B1}, {"bgr", "ISOgrk1", 0x3B2}, {"ggr", "ISOgrk1", 0x3B3},
    {"dgr", "ISOgrk1", 0x3B4}, {"egr", "ISOgrk1", 0x3B5}, {"zgr", "ISOgrk1", 0x3B6},
    {"eegr", "ISOgrk1", 0x3B7}, {"thgr", "ISOgrk1", 0x3B8}, {"igr", "ISOgrk1", 0x3B9},
    {"kgr", "ISOgrk1", 0x3BA}, {"lgr", "ISOgrk1", 0x3BB}, {"mgr", "ISOgrk1", 0x3BC},
    {"ngr", "ISOgrk1", 0x3BD}, {"xgr", "ISOgrk1", 0x3BE}, {"ogr", "ISOgrk1", 0x3BF},
    {"pgr", "ISOgrk1", 0x3C0}, {"rgr", "ISOgrk1", 0x3C1}, {"sgr", "ISOgrk1", 0x3C3},
    {"sfgr", "ISOgrk1", 0x3C2}, {"tgr", "ISOgrk1", 0x3C4}, {"ugr", "ISOgrk1", 0x3C5},
    {"phgr", "ISOgrk1", 0x3C6}, {"khgr", "ISOgrk1", 0x3C7}, {"psgr", "ISOgrk1", 0x3C8},
    {"ohgr", "ISOgrk1", 0x3C9}, {"Agr", "ISOgrk1", 0x391}, {"Bgr", "ISOgrk1", 0x392},
    {"Ggr", "ISOgrk1", 0x393}, {"Dgr", "ISOgrk1", 0x394}, {"Egr", "ISOgrk1", 0x395},
    {"Zgr", "ISOgrk1", 0x396}, {"Igr", "ISOgrk1", 0x399}, {"Kgr", "ISOgrk1", 0x39A},
    {"Lgr", "ISOgrk1", 0x39B}, {"Mgr", "ISOgrk1", 0x39C}, {"Ngr", "ISOgrk1", 0x39D},
    {"Xgr", "ISOgrk1", 0x39E}, {"Ogr", "ISOgrk1", 0x39F}, {"Pgr", "ISOgrk1", 0x3A0},
    {"Rgr", "ISOgrk1", 0x3A1}, {"Sgr", "ISOgrk1", 0x3A3}, {"Tgr", "ISOgrk1", 0x3A4},
    {"Ugr", "ISOgrk1", 0x3A5}, {"EEgr", "ISOgrk1", 0x397}, {"THgr", "ISOgrk1", 0x398},
    {"PHgr", "ISOgrk1", 0x3A6}, {"KHgr", "ISOgrk1", 0x3A7}, {"PSgr", "ISOgrk1", 0x3A8},
    {"OHgr", "ISOgrk1", 0x3A9}, {"aacgr", "ISOgrk1", 0x3AC}, {"Aacgr", "ISOgrk1", 0x386},
    {"eacgr", "ISOgrk1", 0x3AD}, {"Eacgr", "ISOgrk1", 0x388}, {"eeacgr", "ISOgrk1", 0x3AE},
    {"EEacgr", "ISOgrk1", 0x389}, {"iacgr", "ISOgrk1", 0x3AF}, {"Iacgr", "ISOgrk1", 0x38A},
    {"idigr", "ISOgrk1", 0x3CA}, {"Idigr", "ISOgrk1", 0x3AA}, {"oacgr", "ISOgrk1", 0x3CC},
    {"Oacgr", "ISOgrk1", 0x38C}, {"uacgr", "ISOgrk1", 0x3CD}, {"Uacgr", "ISOgrk1", 0x38E},
    {"udigr", "ISOgrk1", 0x3CB}, {"Udigr", "ISOgrk1", 0x3AB}, {"ohacgr", "ISOgrk1", 0x3CE},
    {"OHacgr", "ISOgrk1", 0x38F}, {"idiagr", "ISOgrk1", 0x390}, {"udiagr", "ISOgrk1", 0x3B0},
    // ISOamsa: added math symbols: arrow relations
    {"cularr", "ISOamsa", 0x21B6}, {"curarr", "ISOamsa", 0x21B7}, {"dArr", "ISOamsa", 0x21D3},
    {"Darr", "ISOamsa", 0x21A1}, {"dharl", "ISOamsa", 0x21C3}, {"dharr", "ISOamsa", 0x21C2},
    {"lAarr", "ISOamsa", 0x21DA}, {"Larr", "ISOamsa", 0x219E}, {"larrhk", "ISOamsa", 0x21A9},
    {"larrlp", "ISOamsa", 0x21AB}, {"larrtl", "ISOamsa", 0x21A2}, {"lhard", "ISOamsa", 0x21BD},
    {"lharu", "ISOamsa", 0x21BC}, {"lsh", "ISOamsa", 0x21B0}, {"map", "ISOamsa", 0x21A6},
    {"mumap", "ISOamsa", 0x22B8}, {"nearr", "ISOamsa", 0x2197}, {"nlArr", "ISOamsa", 0x21CD},
    {"nlarr", "ISOamsa", 0x219A}, {"nhArr", "ISOamsa", 0x21CE}, {"nharr", "ISOamsa", 0x21AE},
    {"nrarr", "ISOamsa", 0x219B}, {"nrArr", "ISOamsa", 0x21CF}, {"nwarr", "ISOamsa", 0x2196},
    {"olarr", "ISOamsa", 0x21BA}, {"orarr", "ISOamsa", 0x21BB}, {"rAarr", "ISOamsa", 0x21DB},
    {"Rarr", "ISOamsa", 0x21A0}, {"rarrhk", "ISOamsa", 0x21AA}, {"rarrlp", "ISOamsa", 0x21AC},
    {"rarrtl", "ISOamsa", 0x21A3}, {"rarrw", "ISOamsa", 0x219D}, {"rhard", "ISOamsa", 0x21C1},
    {"rharu", "ISOamsa", 0x21C0}, {"rsh", "ISOamsa", 0x21B1}, {"uArr", "ISOamsa", 0x21D1},
    {"vArr", "ISOamsa", 0x21D5}, {"varr", "ISOamsa", 0x2195}, {"uharl", "ISOamsa", 0x21BF},
    {"uharr", "ISOamsa", 0x21BE}, {"xlArr", "ISOamsa", 0x27F8}, {"xhArr", "ISOamsa", 0x27FA},
    {"xharr", "ISOamsa", 0x27F7}, {"xrArr", "ISOamsa", 0x27F9}, {"searr", "ISOamsa", 0x2198},
    {"swarr", "ISOamsa", 0x2199},
    // ISOamsb: added math symbols: binary operators
    {"amalg", "ISOamsb", 0x2A3F}, {"Barwed", "ISOamsb", 0x2306}, {"barwed", "ISOamsb", 0x2305},
    {"Cap", "ISOamsb", 0x22D2}, {"coprod", "ISOamsb", 0x2210}, {"Cup", "ISOamsb", 0x22D3},
    {"cuvee", "ISOamsb", 0x22CE}, {"cuwed", "ISOamsb", 0x22CF}, {"diam", "ISOamsb", 0x22C4},
    {"divonx", "ISOamsb", 0x22C7}, {"intcal", "ISOamsb", 0x22BA}, {"lthree", "ISOamsb", 0x22CB},
    {"ltimes", "ISOamsb", 0x22C9}, {"minusb", "ISOamsb", 0x229F}, {"odash", "ISOamsb", 0x229D},
    {"odot", "ISOamsb", 0x2299}, {"ominus", "ISOamsb", 0x2296}, {"oplus", "ISOamsb", 0x2295},
    {"osol", "ISOamsb", 0x2298}, {"otimes", "ISOamsb", 0x2297}, {"plusb", "ISOamsb", 0x229E},
    {"plusdo", "ISOamsb", 0x2214}, {"rthree", "ISOamsb", 0x22CC}, {"rtimes", "ISOamsb", 0x22CA},
    {"sdot", "ISOamsb", 0x22C5}, {"sdotb", "ISOamsb", 0x22A1}, {"setmn", "ISOamsb", 0x2216},
    {"sqcap", "ISOamsb", 0x2293}, {"sqcup", "ISOamsb", 0x2294}, {"ssetmn", "ISOamsb", 0x2216},
    {"sstarf", "ISOamsb", 0x22C6}, {"subdot", "ISOamsb", 0x2ABD}, {"uplus", "ISOamsb", 0x228E},
    {"utri", "ISOamsb", 0x25B5}, {"utrif", "ISOamsb", 0x25B4}, {"vee", "ISOamsb", 0x2228},
    {"veebar", "ISOamsb", 0x22BB}, {"wreath", "ISOamsb", 0x2240}, {"xcap", "ISOamsb", 0x22C2},
    {"xcirc", "ISOamsb", 0x25EF}, {"xcup", "ISOamsb", 0x22C3}, {"xdtri", "ISOamsb", 0x25BD},
    {"xodot", "ISOamsb", 0x2A00}, {"xoplus", "ISOamsb", 0x2A01}, {"xotime", "ISOamsb", 0x2A02},
    {"xsqcup", "ISOamsb", 0x2A06}, {"xuplus", "ISOamsb", 0x2A04}, {"xutri", "ISOamsb", 0x25B3},
    {"xvee", "ISOamsb", 0x22C1}, {"xwedge", "ISOamsb", 0x22C0}, {"dtri", "ISOamsb", 0x25BF},
    {"dtrif", "ISOamsb", 0x25BE}, {"ltri", "ISOamsb", 0x25C3}, {"ltrif", "ISOamsb", 0x25C2},
    {"rtri", "ISOamsb", 0x25B9}, {"rtrif", "ISOamsb", 0x25B8}, {"mnplus", "ISOamsb", 0x2213},
    // ISOamsc: added math symbols: delimiters
    {"rceil", "ISOamsc", 0x2309}, {"rfloor", "ISOamsc", 0x230B}, {"rpargt", "ISOamsc", 0x2994},
    {"urcorn", "ISOamsc", 0x231D}, {"drcorn", "ISOamsc", 0x231F}, {"lceil", "ISOamsc", 0x2308},
    {"lfloor", "ISOamsc", 0x230A}, {"ulcorn", "ISOamsc", 0x231C}, {"dlcorn", "ISOamsc", 0x231E},
    // ISOamsn: added math symbols: negated relations
    {"gnap", "ISOamsn", 0x2A8A}, {"gnE", "ISOamsn", 0x2269}, {"gne", "ISOamsn", 0x2A88},
    {"gnsim", "ISOamsn", 0x22E7}, {"lnap", "ISOamsn", 0x2A89}, {"lnE", "ISOamsn", 0x2268},
    {"lne", "ISOamsn", 0x2A87}, {"lnsim", "ISOamsn", 0x22E6}, {"nap", "ISOamsn", 0x2249},
    {"ncong", "ISOamsn", 0x2247}, {"nequiv", "ISOamsn", 0x2262}, {"nge", "ISOamsn", 0x2271},
    {"ngt", "ISOamsn", 0x226F}, {"nle", "ISOamsn", 0x2270}, {"nlt", "ISOamsn", 0x226E},
    {"nltri", "ISOamsn", 0x22EA}, {"nltrie", "ISOamsn", 0x22EC}, {"nmid", "ISOamsn", 0x2224},
    {"npar", "ISOamsn", 0x2226}, {"npr", "ISOamsn", 0x2280}, {"nrtri", "ISOamsn", 0x22EB},
    {"nrtrie", "ISOamsn", 0x22ED}, {"nsc", "ISOamsn", 0x2281}, {"nsim", "ISOamsn", 0x2241},
    {"nsime", "ISOamsn", 0x2244}, {"nsmid", "ISOamsn", 0x2224}, {"nspar", "ISOamsn", 0x2226},
    {"nsub", "ISOamsn", 0x2284}, {"nsube", "ISOamsn", 0x2288}, {"nsup", "ISOamsn", 0x2285},
    {"nsupe", "ISOamsn", 0x2289}, {"nvdash", "ISOamsn", 0x22AC}, {"nvDash", "ISOamsn", 0x22AD},
    {"nVDash", "ISOamsn", 0x22AF}, {"nVdash", "ISOamsn", 0x22AE}, {"prnap", "ISOamsn", 0x2AB9},
    {"prnE", "ISOamsn", 0x2AB5}, {"prnsim", "ISOamsn", 0x22E8}, {"scnap", "ISOamsn", 0x2ABA},
    {"scnE", "ISOamsn", 0x2AB6}, {"scnsim", "ISOamsn", 0x22E9}, {"subne", "ISOamsn", 0x228A},
    {"subnE", "ISOamsn", 0x2ACB}, {"supne", "ISOamsn", 0x228B}, {"supnE", "ISOamsn", 0x2ACC},
    // ISOamso: added math symbols: ordinary
    {"angmsd", "ISOamso", 0x2221}, {"beth", "ISOamso", 0x2136}, {"bprime", "ISOamso", 0x2035},
    {"comp", "ISOamso", 0x2201}, {"daleth", "ISOamso", 0x2138}, {"ell", "ISOamso", 0x2113},
    {"emptyv", "ISOamso", 0x2205}, {"gimel", "ISOamso", 0x2137}, {"image", "ISOamso", 0x2111},
    {"nexist", "ISOamso", 0x2204}, {"oS", "ISOamso", 0x24C8}, {"planck", "ISOamso", 0x210F},
    {"real", "ISOamso", 0x211C}, {"weierp", "ISOamso", 0x2118},
    // ISOamsr: added math symbols: relations
    {"ape", "ISOamsr", 0x224A}, {"asymp", "ISOamsr", 0x2248}, {"bcong", "ISOamsr", 0x224C},
    {"bepsi", "ISOamsr", 0x3F6}, {"bowtie", "ISOamsr", 0x22C8}, {"bsim", "ISOamsr", 0x223D},
    {"bsime", "ISOamsr", 0x22CD}, {"bump", "ISOamsr", 0x224E}, {"bumpe", "ISOamsr", 0x224F},
    {"cire", "ISOamsr", 0x2257}, {"colone", "ISOamsr", 0x2254}, {"cuepr", "ISOamsr", 0x22DE},
    {"cuesc", "ISOamsr", 0x22DF}, {"dashv", "ISOamsr", 0x22A3}, {"ecir", "ISOamsr", 0x2256},
    {"ecolon", "ISOamsr", 0x2255}, {"eDot", "ISOamsr", 0x2251}, {"efDot", "ISOamsr", 0x2252},
    {"egs", "ISOamsr", 0x2A96}, {"els", "ISOamsr", 0x2A95}, {"erDot", "ISOamsr", 0x2253},
    {"esdot", "ISOamsr", 0x2250}, {"fork", "ISOamsr", 0x22D4}, {"frown", "ISOamsr", 0x2322},
    {"gap", "ISOamsr", 0x2A86}, {"gE", "ISOamsr", 0x2267}, {"gEl", "ISOamsr", 0x2A8C},
    {"gel", "ISOamsr", 0x22DB}, {"ges", "ISOamsr", 0x2A7E}, {"Gg", "ISOamsr", 0x22D9},
    {"gl", "ISOamsr", 0x2277}, {"gsim", "ISOamsr", 0x2273}, {"Gt", "ISOamsr", 0x226B},
    {"lap", "ISOamsr", 0x2A85}, {"lE", "ISOamsr", 0x2266}, {"lEg", "ISOamsr", 0x2A8B},
    {"leg", "ISOamsr", 0x22DA}, {"les", "ISOamsr", 0x2A7D}, {"lg", "ISOamsr", 0x2276},
    {"Ll", "ISOamsr", 0x22D8}, {"lsim", "ISOamsr", 0x2272}, {"Lt", "ISOamsr", 0x226A},
    {"ltrie", "ISOamsr", 0x22B4}, {"mid", "ISOamsr", 0x2223}, {"models", "ISOamsr", 0x22A7},
    {"pr", "ISOamsr", 0x227A}, {"prap", "ISOamsr", 0x2AB7}, {"pre", "ISOamsr", 0x2AAF},
    {"prsim", "ISOamsr", 0x227E}, {"rtrie", "ISOamsr", 0x22B5}, {"sc", "ISOamsr", 0x227B},
    {"scap", "ISOamsr", 0x2AB8}, {"sccue", "ISOamsr", 0x227D}, {"sce", "ISOamsr", 0x2AB0},
    {"scsim", "ISOamsr", 0x227F}, {"sfrown", "ISOamsr", 0x2322}, {"smid", "ISOamsr", 0x2223},
    {"smile", "ISOamsr", 0x2323}, {"spar", "ISOamsr", 0x2225}, {"sqsub", "ISOamsr", 0x228F},
    {"sqsube", "ISOamsr", 0x2291}, {"sqsup", "ISOamsr", 0x2290}, {"sqsupe", "ISOamsr", 0x2292},
    {"ssmile", "ISOamsr", 0x2323}, {"Sub", "ISOamsr", 0x22D0}, {"subE", "ISOamsr", 0x2AC5},
    {"Sup", "ISOamsr", 0x22D1}, {"supE", "ISOamsr", 0x2AC6}, {"thkap", "ISOamsr", 0x2248},
    {"thksim", "ISOamsr", 0x223C}, {"trie", "ISOamsr", 0x225C}, {"twixt", "ISOamsr", 0x226C},
    {"vdash", "ISOamsr", 0x22A2}, {"Vdash", "ISOamsr", 0x22A9}, {"vDash", "ISOamsr", 0x22A8},
    {"vltri", "ISOamsr", 0x22B2}, {"vprop", "ISOamsr", 0x221D}, {"vrtri", "ISOamsr", 0x22B3},
    {"Vvdash", "ISOamsr", 0x22AA},
    // ISOgrk3: greek symbols
    {"epsiv", "ISOgrk3", 0x3F5}, {"thetav", "ISOgrk3", 0x3D1}, {"sigmav", "ISOgrk3", 0x3C2},
    {"phiv", "ISOgrk3", 0x3D5}, {"piv", "ISOgrk3", 0x3D6}, {"rhov", "ISOgrk3", 0x3F1},
    {"kappav", "ISOgrk3", 0x3F0}, {"gammad", "ISOgrk3", 0x3DD},
    // ISOpub: publishing
    {"frac13", "ISOpub", 0x2153}, {"frac23", "ISOpub", 0x2154}, {"frac15", "ISOpub", 0x2155},
    {"frac25", "ISOpub", 0x2156}, {"frac35", "ISOpub", 0x2157}, {"frac45", "ISOpub", 0x2158},
    {"frac16", "ISOpub", 0x2159}, {"frac56", "ISOpub", 0x215A}, {"incare", "ISOpub", 0x2105},
    {"caret", "ISOpub", 0x2041}, {"hybull", "ISOpub", 0x2043}, {"vellip", "ISOpub", 0x22EE},
    {"mldr", "ISOpub", 0x2026},
    // ISOtech: general technical
    {"conint", "ISOtech", 0x222E}, {"becaus", "ISOtech", 0x2235}, {"bernou", "ISOtech", 0x212C},
    {"cong", "ISOtech", 0x2245}, {"hamilt", "ISOtech", 0x210B}, {"iff", "ISOtech", 0x21D4},
    {"lagran", "ISOtech", 0x2112}, {"lowast", "ISOtech", 0x2217}, {"order", "ISOtech", 0x2134},
    {"par", "ISOtech", 0x2225}, {"phmmat", "ISOtech", 0x2133}, {"profline", "ISOtech", 0x2312},
    {"profsurf", "ISOtech", 0x2313}, {"sime", "ISOtech", 0x2243}, {"sube", "ISOtech", 0x2286},
    {"supe", "ISOtech", 0x2287}, {"tprime", "ISOtech", 0x2034}, {"wedgeq", "ISOtech", 0x2259},
    {"angsph", "ISOtech", 0x2222}, {"fnof", "ISOtech", 0x192}, {"isinv", "ISOtech", 0x2208},
    {"Dot", "ISOtech", 0xA8}, {"DotDot", "ISOtech", 0x20DC}, {"tdot", "ISOtech", 0x20DB},
    // MathML names the SGML grant DTD declares for its formulas
    {"af", "MathML", 0x2061}, {"it", "MathML", 0x2062}, {"ic", "MathML", 0x2063},
    {"CirclePlus", "MathML", 0x2295}, {"CircleMinus", "MathML", 0x2296}, {"CircleTimes", "MathML", 0x2297},
    {"CircleDot", "MathML", 0x2299}, {"EmptyDiamond", "MathML", 0x25C7}, {"Sum", "MathML", 0x2211},
    {"Product", "MathML", 0x220F}, {"Integral", "MathML", 0x222B}, {"NewLine", "MathML", 0xA},
    {"varnothing", "MathML", 0x2205}, {"PlusMinus", "MathML", 0xB1}, {"MinusPlus", "MathML", 0x2213},
    {"Element", "MathML", 0x2208}, {"NotElement", "MathML", 0x2209}, {"ForAll", "MathML", 0x2200},
    {"Exists", "MathML", 0x2203}, {"PartialD", "MathML", 0x2202}, {"Del", "MathML", 0x2207},
    {"InvisibleTimes", "MathML", 0x2062}, {"ApplyFunction", "MathML", 0x2061}, {"InvisibleComma", "MathML", 0x2063},
    {"RightArrow", "MathML", 0x2192}, {"LeftArrow", "MathML", 0x2190}, {"DoubleRightArrow", "MathML", 0x21D2},
    {"LeftAngleBracket", "MathML", 0x2329}, {"RightAngleBracket", "MathML", 0x232A}, {"Cross", "MathML", 0x2A2F},
    {"LessEqual", "MathML", 0x2264}, {"GreaterEqual", "MathML", 0x2265}, {"NotEqual", "MathML", 0x2260},
    {"Congruent", "MathML", 0x2261}, {"Proportional", "MathML", 0x221D}, {"Tilde", "MathML", 0x223C},
    {"TildeEqual", "MathML", 0x2243}, {"VerticalBar", "MathML", 0x2223}, {"DoubleVerticalBar", "MathML", 0x2225},
    {"Union", "MathML", 0x22C3}, {"Intersection", "MathML", 0x22C2}, {"SubsetEqual", "MathML", 0x2286},
    {"SupersetEqual", "MathML", 0x2287}, {"ThinSpace", "MathML", 0x2009}, {"MediumSpace", "MathML", 0x205F},
    {"NonBreakingSpace", "MathML", 0xA0}, {"OverBar", "MathML", 0xAF}, {"UnderBar", "MathML", 0x5F},
    {"DifferentialD", "MathML", 0x2146}, {"ExponentialE", "MathML", 0x2147}, {"ImaginaryI", "MathML", 0x2148},
    {"dd", "MathML", 0x2146}, {"ee", "MathML", 0x2147}, {"ii", "MathML", 0x2148},
    {"Infinity", "MathML", 0x221E}, {"SquareRoot", "MathML", 0x221A}, {"CenterDot", "MathML", 0xB7},
    {"Backslash", "MathML", 0x2216}, {"Colon", "MathML", 0x2237}, {"Equal", "MathML", 0x2A75},
    {"Therefore", "MathML", 0x2234}, {"Because", "MathML", 0x2235}, {"LeftCeiling", "MathML", 0x2308},
    {"RightCeiling", "MathML", 0x2309}, {"LeftFloor", "MathML", 0x230A}, {"RightFloor", "MathML", 0x230B},
    {"UpArrow", "MathML", 0x2191}, {"DownArrow", "MathML", 0x2193}, {"LeftRightArrow", "MathML", 0x2194},
    {"DoubleLeftRightArrow", "MathML", 0x21D4}, {"Implies", "MathML", 0x21D2}, {"Hat", "MathML", 0x5E},
    {"DoubleDot", "MathML", 0xA8}, {"Star", "MathML", 0x22C6}, {"Vee", "MathML", 0x22C1},
    {"Wedge", "MathML", 0x22C0}, {"Sqrt", "MathML", 0x221A}, {"ContourIntegral", "MathML", 0x222E},
    {"PrecedesEqual", "MathML", 0x2AAF}, {"Subset", "MathML", 0x22D0}, {"Superset", "MathML", 0x22D1},
    {"VerticalLine", "MathML", 0x7C}, {"Equilibrium", "MathML", 0x21CC}, {"varepsilon", "MathML", 0x3F5},
    {"varphi", "MathML", 0x3D5}, {"vartheta", "MathML", 0x3D1}, {"varpi", "MathML", 0x3D6},
    {"varrho", "MathML", 0x3F1}, {"varsigma", "MathML", 0x3C2}, {"varkappa", "MathML", 0x3F0},
    {"epsilon", "MathML", 0x3B5}, {"phi", "MathML", 0x3C6}, {"theta", "MathML", 0x3B8},
    {"upsilon", "MathML", 0x3C5}, {"Upsilon", "MathML", 0x3A5}, {"straightphi", "MathML", 0x3D5},
    {"straightepsilon", "MathML", 0x3F5},
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
