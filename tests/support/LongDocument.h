#pragma once
// A many-page document made of plain parts (standard fonts, simple text), whose objects are
// shared between pages the way real files share them: fonts, a resources dictionary, a form
// and a tree of /Pages nodes. Readers that let go of a page's objects must read it the same.
#include <string>

// The file bytes of `pages` pages (at least 1), the same bytes on every call.
std::string MakeLongTestPdf(int pages);
