// The portable halves of the shell dialogs: the file dialogs' filter lists and the name Save As
// proposes, the OpenCL chooser's answer, and the registry writes of the file association.
#include "resources/resource.h"
#include "shellplan/AssociationPlan.h"
#include "shellplan/DeviceChoice.h"
#include "shellplan/FileDialogFilters.h"
#include "shellplan/ProposedSaveName.h"
#include "shellplan/ViewerPath.h"

#include <doctest/doctest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace Orvanel::ShellPlan;

namespace {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// The list as the dialog reads it: the pairs in order, then the empty string, then nothing.
void CheckList(const wchar_t* list, const Pairs& expected) {
    std::wstring whole;
    for (const auto& [description, patterns] : expected)
        whole += description + L'\0' + patterns + L'\0';
    whole += L'\0';
    CHECK(std::wstring(list, whole.size()) == whole);
    CHECK(FilterListLength(list) == whole.size());
    CHECK(FilterPairs(list) == expected);
}

} // namespace

TEST_CASE("file dialogs: the filter lists, and the base name and extension Save As proposes") {
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

    const std::wstring d253(253, L'd'), d254(254, L'd'), e254(254, L'e'), a255(255, L'a');
    const std::wstring cases[][3] = {
        // incoming, base name, extension
        {L"C:\\Photos\\holiday.png", L"holiday", L"png"},
        {L"", L"", L""},
        // Either separator; the last dot after the last separator starts the extension.
        {L"D:/a.b/c/archive.tar.gz", L"archive.tar", L"gz"},
        {L"\\\\server\\share\\v1.2\\notes", L"notes", L""},
        // A lone dot is an extension of nothing; a name that is all extension proposes no name.
        {L"picture.", L"picture", L""},
        {L"C:.profile", L"", L"profile"},
        {L"Photos\\", L"", L""},
        {L"ab:c.jpg", L"ab:c", L"jpg"}, // only a colon in second place makes a drive
        // Each part at its longest still splits; one more character and nothing is proposed,
        // not even the parts that fit. Each name is read in a buffer of its own length: the
        // host's 260 characters hold no folder too long for its part.
        {L"C:\\" + d253 + L"\\x", L"x", L""},
        {a255 + L".png", a255, L"png"},
        {L"n." + e254, L"n", e254},
        {L"C:\\" + d254 + L"\\x.png", L"", L""},
        {a255 + L"a.", L"", L""},
        {L"n." + e254 + L"e", L"", L""},
    };
    for (const auto& c : cases) {
        const ProposedSaveName proposed = ProposeSaveName(c[0].c_str(), c[0].size() + 1);
        CHECK_MESSAGE((proposed.baseName == c[1] && proposed.defaultExtension == c[2]),
                      c[0].size() << " characters");
    }
    // Only the span the host promised is read.
    std::vector<wchar_t> unended(kPathBufferSize + 8, L'a');
    unended.back() = L'\0';
    CHECK(ProposeSaveName(unended.data()).baseName.empty());
    const wchar_t shortBuffer[4] = {L'a', L'.', L'b', L'c'};
    CHECK(ProposeSaveName(shortBuffer, 4).baseName.empty());
    CHECK(ProposeSaveName(L"a.bc", 5).baseName == L"a");
}

TEST_CASE("the OpenCL chooser answers the confirmed item of the host's list, or nothing") {
    const std::vector<std::wstring> names{L"A", L"B", L"C"};
    CHECK((ChosenDeviceName(names, 1, 0) == L"A" && ChosenDeviceName(names, 1, 2) == L"C"));
    CHECK(ChosenDeviceName(names, 0, 1).empty()); // cancelled
    // The combo box says -1 when no item is selected; OK on an empty list.
    for (int outside : {-1, 3, 1 << 30, -(1 << 30)})
        CHECK_MESSAGE(ChosenDeviceName(names, 1, outside).empty(), outside);
    CHECK(ChosenDeviceName({}, 1, 0).empty());
}

namespace {

using Lines = std::vector<std::string>;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Each operation as one line: "key", "sz" or "none", the root, the path, then the value's name
// and text.
class CRecordingWriter : public CRegistryWriterInterface {
public:
    Lines operations;

    bool CreateRegistryKey(RegistryRoot root, const std::wstring& path) override {
        return Note("key " + Where(root, path));
    }
    bool SetRegistryString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text) override {
        return Note("sz " + Where(root, path) + " [" + Narrow(name) + "] " + Narrow(text));
    }
    bool AddRegistryEmptyValue(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override {
        return Note("none " + Where(root, path) + " [" + Narrow(name) + "]");
    }

private:
    bool Note(const std::string& operation) {
        operations.push_back(operation);
        return true;
    }
    static std::string Where(RegistryRoot root, const std::wstring& path) {
        return (root == RegistryRoot::ClassesRoot ? "HKCR\\" : "HKCU\\") + Narrow(path);
    }
};

// The viewer's registration for a viewer at `viewer`: the document type, then the application.
Lines ViewerDocument(const std::string& viewer) {
    Lines operations;
    for (const std::string key :
         {"HKCR\\Orvanel.Document", "HKCR\\Applications\\OrvanelViewer.exe"})
        operations.insert(operations.end(),
                          {"key " + key, "key " + key + "\\shell\\open\\command",
                           "key " + key + "\\DefaultIcon", "sz " + key + " [] Orvanel Document",
                           "sz " + key + "\\shell\\open\\command [] \"" + viewer + "\" \"%1\"",
                           "sz " + key + "\\DefaultIcon [] " + viewer + ",1"});
    return operations;
}

Lines WithExtensions(Lines operations, const Lines& extensions) {
    for (const std::string& e : extensions) {
        const std::string k =
            "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + e;
        operations.insert(operations.end(),
                          {"key " + k, "sz " + k + " [Application] OrvanelViewer.exe",
                           "key " + k + "\\UserChoice",
                           "sz " + k + "\\UserChoice [ProgId] Applications\\OrvanelViewer.exe",
                           "none " + k + "\\OpenWithProgids [Orvanel.Document]", "key HKCR\\." + e,
                           "sz HKCR\\." + e + " [Content Type] image/" + e,
                           "sz HKCR\\." + e + " [PerceivedType] image"});
    }
    return operations;
}

const std::string kViewer = "C:\\Apps\\OrvanelViewer.exe";

// Registers with the given boxes checked.
Lines Register(const std::set<int>& checked,
               const std::wstring& program = L"C:\\Apps\\OrvanelAssociation.exe") {
    CRecordingWriter writer;
    CAssociationRegistration(writer).Register(program,
                                              [&](int box) { return checked.count(box) != 0; });
    return writer.operations;
}

} // namespace

TEST_CASE("association: the viewer, each checked box's extensions in order; the viewer's path") {
    // The dialog opens with all 25 boxes checked, in id order, and no id outside the design.
    const std::vector<int> ids{1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009,
                               1010, 1011, 1012, 1013, 1016, 1017, 1018, 1019, 1020,
                               1021, 1022, 1023, 1024, 1026, 1027, 1028};
    CHECK(DialogBoxIds() == ids);
    // BMP and PNM are asked about twice each, MNG never.
    const Lines expected = WithExtensions(
        ViewerDocument(kViewer),
        {"gif",  "pcx", "png",  "tga",  "mng",    "jng", "bmp",  "jpe", "jpeg", "jpg", "jfif",
         "jif",  "jfi", "tif",  "tiff", "pgx",    "bpg", "bmp",  "pcd", "psd",  "pdd", "jpc",
         "j2c",  "jp2", "j2k",  "mp4",  "m4s",    "mpg", "mpeg", "mpe", "dat",  "m1v", "mod",
         "vob",  "mp2", "mpv2", "wtv",  "dvr-ms", "avi", "wmv",  "asf", "vm",   "mov", "qt",
         "m2ts", "m2t", "ppm",  "pgm",  "pnm",    "nef", "crw",  "cr2", "dng",  "arw", "erf",
         "3fr",  "dcr", "raw",  "x3f",  "mef",    "raf", "mrw",  "pef", "sr2",  "orf"});
    const Lines written = Register({ids.begin(), ids.end()});
    REQUIRE(written.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        CHECK_MESSAGE(written[i] == expected[i], i);

    // No box, the box that registers nothing, and a mix.
    CHECK(Register({}) == ViewerDocument(kViewer));
    CHECK(Register({IDC_ASSOCIATE_MNG}) == ViewerDocument(kViewer));
    CHECK(Register({IDC_ASSOCIATE_PNM, IDC_ASSOCIATE_MP4, IDC_ASSOCIATE_MNG}) ==
          WithExtensions(ViewerDocument(kViewer), {"mng", "jng", "mp4", "m4s", "pgm", "pnm"}));

    const auto viewer = [](const wchar_t* program) {
        return ViewerPathFromAssociationPath(program).value_or(L"none");
    };
    CHECK(viewer(L"C:\\Apps\\OrvanelAssociation.exe") == L"C:\\Apps\\OrvanelViewer.exe");
    // The first occurrence only, exactly so cased; another name writes nothing.
    CHECK(viewer(L"D:\\OrvanelAssociation\\OrvanelAssociation.exe") ==
          L"D:\\OrvanelViewer\\OrvanelAssociation.exe");
    CHECK(viewer(L"C:\\Apps\\orvanelassociation.exe") == L"none");
    CHECK(viewer(L"") == L"none");
    CHECK(Register({IDC_ASSOCIATE_PNM}, L"C:\\Apps\\Setup.exe").empty());

    // The open command is the viewer's path and 7 characters: past 259 from 253, writing nothing.
    for (const auto& [length, registered] : {std::pair{252, true}, {253, false}}) {
        const std::wstring folder = L"C:\\" + std::wstring(length - 21, L'd') + L"\\";
        const Lines all =
            WithExtensions(ViewerDocument(Narrow(folder) + "OrvanelViewer.exe"), {"gif"});
        CHECK(Register({IDC_ASSOCIATE_GIF}, folder + L"OrvanelAssociation.exe") ==
              (registered ? all : Lines{}));
    }
}
