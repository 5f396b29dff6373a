#pragma once
// Every address the tool opens or shows: the help menu's web pages and the about box's links.
// One table, https only (a test sees to it); the maker's server is www.korvu.example.
#include "macro/Commands.h"

namespace qlk {

struct WebPage {
  Cmd cmd;
  const char* url;
};

inline constexpr WebPage kWebPages[] = {
    {Cmd::WebQuenlark, "https://www.korvu.example/soft/qlark.htm"},  // the product's home page
    {Cmd::WebForum, "https://forum.example.net/Korvu/"},             // the support forum, on another host
    {Cmd::WebKorvu, "https://www.korvu.example/"},                    // the maker's home page
    {Cmd::WebKorvuSoft, "https://www.korvu.example/soft/index.html"},  // the maker's software list
};

// The about box: the maker's site (the link's own text is its target) and the contact address.
inline constexpr const char* kMakerSite = "https://www.korvu.example/";
inline constexpr const char* kMakerMail = "support@korvu.example";
inline constexpr const char* kMakerMailLink = "mailto:support@korvu.example";

}  // namespace qlk
