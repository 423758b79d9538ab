// The file dialogs' filter lists, pair by pair, and the name the Save As dialog proposes.
#include "shellplan/FileDialogFilters.h"
#include "shellplan/ProposedSaveName.h"

#include <doctest/doctest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Orvanel::ShellPlan;

namespace {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// The list as the dialog reads it: the pairs in order, then the empty string, then nothing.
void CheckList(const wchar_t* list, const Pairs& expected) {
    CHECK(FilterPairs(list) == expected);
    std::size_t length = 1;
    for (const auto& pair : expected) {
        length += pair.first.size() + 1 + pair.second.size() + 1;
    }
    REQUIRE(FilterListLength(list) == length);
    CHECK(list[length - 2] == L'\0');
    CHECK(list[length - 1] == L'\0');
}

std::wstring Proposed(const std::wstring& incoming) {
    return ProposeSaveName(incoming.c_str()).baseName;
}

std::wstring Extension(const std::wstring& incoming) {
    return ProposeSaveName(incoming.c_str()).defaultExtension;
}

} // namespace

TEST_CASE("the image, video and save filter lists") {
    CheckList(
        kImageOpenFilter,
        {{L"Files Supported", L"*.jpg;*.jpe;*.jpeg;*.jfif;*.jif;*.bmp;*.gif;*.tif;*.png"},
         {L"Files JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF;*.JIF)", L"*.jpg;*.jpeg;*.jpe;*.jfif;*.jif"},
         {L"Files BMP  (*.BMP)", L"*.bmp"},
         {L"Files GIF  (*.GIF)", L"*.gif"},
         {L"Files TIF (*.TIF)", L"*.tif"},
         {L"Files PNG (*.PNG)", L"*.png"},
         {L"All Files (*.*)", L"*.*"}});
    CheckList(kVideoOpenFilter,
              {{L"Support Files", L"*.wmv;*.vm;*.asf;*.m2ts;*.m2t;*.mov;*.qt;*.avi;*.wtv;*.dvr-ms;"
                                  L"*.mp4;*.m4s;*.mpeg;*.mpg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob"},
               {L"Window Media Player (*.wmv;*.vm;*.asf)", L"*.wmv;*.vm;*.asf"},
               {L"AVCHD  (*.m2ts;*.m2t)", L"*.m2ts;*.m2t"},
               {L"Apple QuickTime (*.mov;*.qt)", L"*.mov;*.qt"},
               {L"Avi (*.avi)", L"*.avi"},
               {L"Record (*.wtv;*.dvr-ms)", L"*.wtv;*.dvr-ms"},
               {L"MPEG-4 (*.mp4;*.mov;*.m4s)", L"*.mp4;*.mov;*.m4s"},
               {L"MPEG-2 (*.mpeg;*.mpg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob)",
                L"*.mpeg;*.mpg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob"},
               {L"MPEG-1 (*.m1v,*.dat)", L"*.m1v;*.dat"},
               {L"M-JPEG (*.avi,*.mov)", L"*.avi;*.mov"},
               {L"All Files (*.*)", L"*.*"}});
    CheckList(kSaveFilter, {{L"Files PNM  (*.PNM)", L"*.pnm"},
                            {L"Files BMP  (*.BMP)", L"*.bmp"},
                            {L"Files PCX  (*.PCX)", L"*.pcx"},
                            {L"Files JPEG  (*.JPG)", L"*.jpg"},
                            {L"Files TIFF  (*.TIF)", L"*.tif"},
                            {L"Files GIF  (*.GIF)", L"*.gif"},
                            {L"Files PNG  (*.PNG)", L"*.png"},
                            {L"Files TGA  (*.TGA)", L"*.tga"},
                            {L"Files JPEG2000  (*.JP2)", L"*.jp2"},
                            {L"Files JPC  (*.JPC)", L"*.jpc"},
                            {L"Files PPM  (*.PPM)", L"*.ppm"},
                            {L"Files BPG  (*.BPG)", L"*.bpg"},
                            {L"Files MNG  (*.MNG)", L"*.mng"},
                            {L"Files PDF  (*.PDF)", L"*.pdf"}});
}

TEST_CASE("the Save As dialog proposes the base name and the extension without its dot") {
    CHECK(Proposed(L"C:\\Photos\\holiday.png") == L"holiday");
    CHECK(Extension(L"C:\\Photos\\holiday.png") == L"png");
    CHECK(Proposed(L"") == L"");
    CHECK(Extension(L"") == L"");
    // Either separator; the last dot after the last separator starts the extension.
    CHECK(Proposed(L"D:/a.b/c/archive.tar.gz") == L"archive.tar");
    CHECK(Extension(L"D:/a.b/c/archive.tar.gz") == L"gz");
    CHECK(Proposed(L"\\\\server\\share\\v1.2\\notes") == L"notes");
    CHECK(Extension(L"\\\\server\\share\\v1.2\\notes") == L"");
    // A lone dot is an extension of nothing; a name that is all extension proposes no name.
    CHECK(Proposed(L"picture.") == L"picture");
    CHECK(Extension(L"picture.") == L"");
    CHECK(Proposed(L"C:.profile") == L"");
    CHECK(Extension(L"C:.profile") == L"profile");
    CHECK(Proposed(L"Photos\\") == L"");
    // Only a colon in second place makes a drive.
    CHECK(Proposed(L"ab:c.jpg") == L"ab:c");
}

TEST_CASE("a part too long to split, or a buffer without an end, proposes nothing") {
    const std::wstring longest(255, L'a');
    // Each part at its longest still splits...
    CHECK(Proposed(L"C:\\" + std::wstring(253, L'd') + L"\\x") == L"x");
    CHECK(Proposed(longest + L".png") == longest);
    CHECK(Extension(L"n." + std::wstring(254, L'e')) == std::wstring(254, L'e'));
    // ...one more character and nothing is proposed, not even the parts that fit.
    const ProposedSaveName folder =
        ProposeSaveName((L"C:\\" + std::wstring(254, L'd') + L"\\x").c_str());
    CHECK(folder.baseName.empty());
    CHECK(folder.defaultExtension.empty());
    CHECK(Proposed(std::wstring(256, L'a') + L".") == L"");
    CHECK(Extension(L"n." + std::wstring(255, L'e')) == L"");

    // Only the span the host promised is read.
    std::vector<wchar_t> unended(kPathBufferSize + 8, L'a');
    unended.back() = L'\0';
    CHECK(ProposeSaveName(unended.data()).baseName.empty());
    const wchar_t shortBuffer[4] = {L'a', L'.', L'b', L'c'};
    CHECK(ProposeSaveName(shortBuffer, 4).baseName.empty());
    CHECK(ProposeSaveName(L"a.bc", 5).baseName == L"a");
}
