#include "shellplan/FileDialogFilters.h"

#include <cwchar>

namespace Orvanel::ShellPlan {

// Each string is its own literal so that no escape can run into the text after it; the
// literal's own terminator adds the empty string that ends the list.
const wchar_t kImageOpenFilter[] = L"Files Supported\0"
                                   L"*.jpg;*.jpe;*.jpeg;*.jfif;*.jif;*.bmp;*.gif;*.tif;*.png\0"
                                   L"Files JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF;*.JIF)\0"
                                   L"*.jpg;*.jpeg;*.jpe;*.jfif;*.jif\0"
                                   L"Files BMP  (*.BMP)\0"
                                   L"*.bmp\0"
                                   L"Files GIF  (*.GIF)\0"
                                   L"*.gif\0"
                                   L"Files TIF (*.TIF)\0"
                                   L"*.tif\0"
                                   L"Files PNG (*.PNG)\0"
                                   L"*.png\0"
                                   L"All Files (*.*)\0"
                                   L"*.*\0";

const wchar_t kVideoOpenFilter[] =
    L"Support Files\0"
    L"*.wmv;*.vm;*.asf;*.m2ts;*.m2t;*.mov;*.qt;*.avi;*.wtv;*.dvr-ms;*.mp4;*.m4s;*.mpeg;*.mpg;"
    L"*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob\0"
    L"Window Media Player (*.wmv;*.vm;*.asf)\0"
    L"*.wmv;*.vm;*.asf\0"
    L"AVCHD  (*.m2ts;*.m2t)\0"
    L"*.m2ts;*.m2t\0"
    L"Apple QuickTime (*.mov;*.qt)\0"
    L"*.mov;*.qt\0"
    L"Avi (*.avi)\0"
    L"*.avi\0"
    L"Record (*.wtv;*.dvr-ms)\0"
    L"*.wtv;*.dvr-ms\0"
    L"MPEG-4 (*.mp4;*.mov;*.m4s)\0"
    L"*.mp4;*.mov;*.m4s\0"
    L"MPEG-2 (*.mpeg;*.mpg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob)\0"
    L"*.mpeg;*.mpg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mod;*.vob\0"
    L"MPEG-1 (*.m1v,*.dat)\0"
    L"*.m1v;*.dat\0"
    L"M-JPEG (*.avi,*.mov)\0"
    L"*.avi;*.mov\0"
    L"All Files (*.*)\0"
    L"*.*\0";

const wchar_t kSaveFilter[] = L"Files PNM  (*.PNM)\0"
                              L"*.pnm\0"
                              L"Files BMP  (*.BMP)\0"
                              L"*.bmp\0"
                              L"Files PCX  (*.PCX)\0"
                              L"*.pcx\0"
                              L"Files JPEG  (*.JPG)\0"
                              L"*.jpg\0"
                              L"Files TIFF  (*.TIF)\0"
                              L"*.tif\0"
                              L"Files GIF  (*.GIF)\0"
                              L"*.gif\0"
                              L"Files PNG  (*.PNG)\0"
                              L"*.png\0"
                              L"Files TGA  (*.TGA)\0"
                              L"*.tga\0"
                              L"Files JPEG2000  (*.JP2)\0"
                              L"*.jp2\0"
                              L"Files JPC  (*.JPC)\0"
                              L"*.jpc\0"
                              L"Files PPM  (*.PPM)\0"
                              L"*.ppm\0"
                              L"Files BPG  (*.BPG)\0"
                              L"*.bpg\0"
                              L"Files MNG  (*.MNG)\0"
                              L"*.mng\0"
                              L"Files PDF  (*.PDF)\0"
                              L"*.pdf\0";

std::size_t FilterListLength(const wchar_t* list) {
    const wchar_t* at = list;
    while (*at != L'\0') {
        at += std::wcslen(at) + 1;
    }
    return static_cast<std::size_t>(at - list) + 1;
}

std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(const wchar_t* list) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    const wchar_t* at = list;
    while (*at != L'\0') {
        std::wstring description(at);
        at += description.size() + 1;
        if (*at == L'\0') { // a description without patterns ends the list
            pairs.emplace_back(std::move(description), std::wstring());
            break;
        }
        std::wstring patterns(at);
        at += patterns.size() + 1;
        pairs.emplace_back(std::move(description), std::move(patterns));
    }
    return pairs;
}

} // namespace Orvanel::ShellPlan
