// The registry writes of the file association, recorded in order: the viewer's document type
// and application entry, the extensions of the checked boxes, the viewer's path taken from the
// association program's own, and the texts too long for the registry's buffers.
#include "shellplan/AssociationPlan.h"
#include "shellplan/ViewerPath.h"
#include "resources/resource.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace Orvanel::ShellPlan;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Each operation as one line: "key", "sz" or "none", the root, the path, then the value's name
// and text.
class CRecordingWriter : public CRegistryWriterInterface {
public:
    std::vector<std::string> operations;

    bool CreateRegistryKey(RegistryRoot root, const std::wstring& path) override {
        operations.push_back("key " + Where(root, path));
        return true;
    }
    bool SetRegistryString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text) override {
        operations.push_back("sz " + Where(root, path) + " [" + Narrow(name) + "] " + Narrow(text));
        return true;
    }
    bool AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override {
        operations.push_back("none " + Where(root, path) + " [" + Narrow(name) + "]");
        return true;
    }

private:
    static std::string Where(RegistryRoot root, const std::wstring& path) {
        return (root == RegistryRoot::ClassesRoot ? "HKCR\\" : "HKCU\\") + Narrow(path);
    }
};

// The viewer's registration for a viewer at `viewer`, written out in full.
std::vector<std::string> ViewerDocument(const std::string& viewer) {
    const std::string command = "\"" + viewer + "\" \"%1\"", icon = viewer + ",1";
    return {
        "key HKCR\\Orvanel.Document",
        "key HKCR\\Orvanel.Document\\shell\\open\\command",
        "key HKCR\\Orvanel.Document\\DefaultIcon",
        "sz HKCR\\Orvanel.Document [] Orvanel Document",
        "sz HKCR\\Orvanel.Document\\shell\\open\\command [] " + command,
        "sz HKCR\\Orvanel.Document\\DefaultIcon [] " + icon,
        "key HKCR\\Applications\\OrvanelViewer.exe",
        "key HKCR\\Applications\\OrvanelViewer.exe\\shell\\open\\command",
        "key HKCR\\Applications\\OrvanelViewer.exe\\DefaultIcon",
        "sz HKCR\\Applications\\OrvanelViewer.exe [] Orvanel Document",
        "sz HKCR\\Applications\\OrvanelViewer.exe\\shell\\open\\command [] " + command,
        "sz HKCR\\Applications\\OrvanelViewer.exe\\DefaultIcon [] " + icon,
    };
}

void AppendExtension(std::vector<std::string>& operations, const std::string& e) {
    const std::string k =
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + e;
    const std::vector<std::string> more = {
        "key " + k,
        "sz " + k + " [Application] OrvanelViewer.exe",
        "key " + k + "\\UserChoice",
        "sz " + k + "\\UserChoice [ProgId] Applications\\OrvanelViewer.exe",
        "none " + k + "\\OpenWithProgids [Orvanel.Document]",
        "key HKCR\\." + e,
        "sz HKCR\\." + e + " [Content Type] image/" + e,
        "sz HKCR\\." + e + " [PerceivedType] image",
    };
    operations.insert(operations.end(), more.begin(), more.end());
}

const std::wstring kProgram = L"C:\\Apps\\OrvanelAssociation.exe";
const std::string kViewer = "C:\\Apps\\OrvanelViewer.exe";

// Registers with the given boxes checked; `tested` receives every box asked about, in order.
std::vector<std::string> Register(const std::set<int>& checked, std::vector<int>* tested = nullptr,
                                  const std::wstring& program = kProgram) {
    CRecordingWriter writer;
    CAssociationRegistration(writer).Register(program, [&](int box) {
        if (tested != nullptr)
            tested->push_back(box);
        return checked.count(box) != 0;
    });
    return writer.operations;
}

} // namespace

TEST_CASE("every box checked: the viewer, then each extension in the boxes' order") {
    std::vector<std::string> expected = ViewerDocument(kViewer);
    for (const char* e :
         {"gif",  "pcx", "png",  "tga",  "mng",    "jng", "bmp",  "jpe", "jpeg", "jpg", "jfif",
          "jif",  "jfi", "tif",  "tiff", "pgx",    "bpg", "bmp",  "pcd", "psd",  "pdd", "jpc",
          "j2c",  "jp2", "j2k",  "mp4",  "m4s",    "mpg", "mpeg", "mpe", "dat",  "m1v", "mod",
          "vob",  "mp2", "mpv2", "wtv",  "dvr-ms", "avi", "wmv",  "asf", "vm",   "mov", "qt",
          "m2ts", "m2t", "ppm",  "pgm",  "pnm",    "nef", "crw",  "cr2", "dng",  "arw", "erf",
          "3fr",  "dcr", "raw",  "x3f",  "mef",    "raf", "mrw",  "pef", "sr2",  "orf"}) {
        AppendExtension(expected, e);
    }
    std::set<int> all(DialogBoxIds().begin(), DialogBoxIds().end());
    std::vector<int> tested;
    const std::vector<std::string> written = Register(all, &tested);
    REQUIRE(written.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        CAPTURE(i);
        CHECK(written[i] == expected[i]);
    }
    // 26 questions: BMP and PNM twice each, MNG never.
    CHECK(tested == std::vector<int>{1023, 1003, 1011, 1012, 1002, 1001, 1007, 1010, 1027,
                                     1009, 1001, 1020, 1022, 1024, 1008, 1004, 1005, 1006,
                                     1013, 1017, 1018, 1019, 1016, 1026, 1002, 1021});
}

TEST_CASE("no box, some boxes, and the box that registers nothing") {
    const std::vector<std::string> viewerOnly = ViewerDocument(kViewer);
    CHECK(Register({}) == viewerOnly);
    CHECK(Register({IDC_ASSOCIATE_MNG}) == viewerOnly);

    std::vector<std::string> mix = viewerOnly;
    for (const char* e : {"mng", "jng", "mp4", "m4s", "pgm", "pnm"})
        AppendExtension(mix, e);
    CHECK(Register({IDC_ASSOCIATE_PNM, IDC_ASSOCIATE_MP4, IDC_ASSOCIATE_MNG}) == mix);

    // The dialog opens with all 25 boxes checked, in id order, and no id outside the design.
    CHECK(DialogBoxIds() == std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009,
                                             1010, 1011, 1012, 1013, 1016, 1017, 1018, 1019, 1020,
                                             1021, 1022, 1023, 1024, 1026, 1027, 1028});
}

TEST_CASE("the viewer's path from the association program's; another name writes nothing") {
    const auto viewer = [](const wchar_t* program) {
        return ViewerPathFromAssociationPath(program).value_or(L"none");
    };
    CHECK(viewer(L"C:\\Apps\\OrvanelAssociation.exe") == L"C:\\Apps\\OrvanelViewer.exe");
    // The first occurrence only, exactly so cased.
    CHECK(viewer(L"D:\\OrvanelAssociation\\OrvanelAssociation.exe") ==
          L"D:\\OrvanelViewer\\OrvanelAssociation.exe");
    CHECK(viewer(L"C:\\Apps\\orvanelassociation.exe") == L"none");
    CHECK(viewer(L"") == L"none");

    std::vector<int> tested;
    const std::set<int> all(DialogBoxIds().begin(), DialogBoxIds().end());
    CHECK(Register(all, &tested, L"C:\\Apps\\Setup.exe").empty());
    CHECK(tested.empty());
}

TEST_CASE("a text longer than the registry's buffer is left out, never cut") {
    // The icon text is the viewer's path and 2 characters, the open command 7: at 253 the
    // command (260 with its terminator) no longer fits, at 258 the icon neither.
    for (const auto& [length, kept] : {std::pair{252, 12u}, {253, 10u}, {257, 10u}, {258, 8u}}) {
        const std::wstring folder = L"C:\\" + std::wstring(length - 21, L'd') + L"\\";
        const std::vector<std::string> written =
            Register({}, nullptr, folder + L"OrvanelAssociation.exe");
        CHECK(written.size() == kept);
        // Each key and each value whose text fits is written once, whole.
        for (const std::string& operation : ViewerDocument(Narrow(folder) + "OrvanelViewer.exe")) {
            const size_t text = operation.rfind("[] ");
            if (text == std::string::npos || operation.size() - text - 3 < 260)
                CHECK(std::count(written.begin(), written.end(), operation) == 1);
        }
    }
}
