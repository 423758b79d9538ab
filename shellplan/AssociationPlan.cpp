#include "shellplan/AssociationPlan.h"

#include "shellplan/ViewerPath.h"
#include "resources/resource.h"

namespace Orvanel::ShellPlan {

namespace {

const wchar_t kDocumentType[] = L"Orvanel.Document";
const wchar_t kDocumentName[] = L"Orvanel Document";
const wchar_t kApplicationKey[] = L"Applications\\OrvanelViewer.exe";
const wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";

} // namespace

bool FitsRegistryText(const std::wstring& text) { return text.size() < kRegistryTextCapacity; }

std::wstring OpenCommand(const std::wstring& viewerPath) {
    return L"\"" + viewerPath + L"\" \"%1\"";
}

const std::vector<ExtensionBox>& ExtensionBoxes() {
    static const std::vector<ExtensionBox> boxes = {
        {IDC_ASSOCIATE_GIF, {L"gif"}},
        {IDC_ASSOCIATE_PCX, {L"pcx"}},
        {IDC_ASSOCIATE_PNG, {L"png"}},
        {IDC_ASSOCIATE_TGA, {L"tga"}},
        {IDC_ASSOCIATE_PNM, {L"mng", L"jng"}},
        {IDC_ASSOCIATE_BMP, {L"bmp"}},
        {IDC_ASSOCIATE_JPEG, {L"jpe", L"jpeg", L"jpg", L"jfif", L"jif", L"jfi"}},
        {IDC_ASSOCIATE_TIFF, {L"tif", L"tiff"}},
        {IDC_ASSOCIATE_PGX, {L"pgx"}},
        {IDC_ASSOCIATE_BPG, {L"bpg"}},
        {IDC_ASSOCIATE_BMP, {L"bmp"}},
        {IDC_ASSOCIATE_PHOTO_CD, {L"pcd"}},
        {IDC_ASSOCIATE_PHOTOSHOP, {L"psd", L"pdd"}},
        {IDC_ASSOCIATE_JPC, {L"jpc", L"j2c"}},
        {IDC_ASSOCIATE_JPEG2000, {L"jp2", L"j2k"}},
        {IDC_ASSOCIATE_MP4, {L"mp4", L"m4s"}},
        {IDC_ASSOCIATE_MPEG, {L"mpg", L"mpeg", L"mpe", L"dat", L"m1v"}},
        {IDC_ASSOCIATE_MPEG2, {L"mod", L"vob", L"mp2", L"mpv2"}},
        {IDC_ASSOCIATE_WINREC, {L"wtv", L"dvr-ms"}},
        {IDC_ASSOCIATE_AVI, {L"avi"}},
        {IDC_ASSOCIATE_WMV, {L"wmv", L"asf", L"vm"}},
        {IDC_ASSOCIATE_QUICKTIME, {L"mov", L"qt"}},
        {IDC_ASSOCIATE_AVCHD, {L"m2ts", L"m2t"}},
        {IDC_ASSOCIATE_PPM, {L"ppm"}},
        {IDC_ASSOCIATE_PNM, {L"pgm", L"pnm"}},
        {IDC_ASSOCIATE_CAMERA_RAW,
         {L"nef", L"crw", L"cr2", L"dng", L"arw", L"erf", L"3fr", L"dcr", L"raw", L"x3f", L"mef",
          L"raf", L"mrw", L"pef", L"sr2", L"orf"}},
    };
    return boxes;
}

const std::vector<int>& DialogBoxIds() {
    static const std::vector<int> ids = {
        IDC_ASSOCIATE_BMP,        IDC_ASSOCIATE_PNM,       IDC_ASSOCIATE_PCX,
        IDC_ASSOCIATE_MP4,        IDC_ASSOCIATE_MPEG,      IDC_ASSOCIATE_MPEG2,
        IDC_ASSOCIATE_JPEG,       IDC_ASSOCIATE_JPEG2000,  IDC_ASSOCIATE_BPG,
        IDC_ASSOCIATE_TIFF,       IDC_ASSOCIATE_PNG,       IDC_ASSOCIATE_TGA,
        IDC_ASSOCIATE_WINREC,     IDC_ASSOCIATE_AVCHD,     IDC_ASSOCIATE_AVI,
        IDC_ASSOCIATE_WMV,        IDC_ASSOCIATE_QUICKTIME, IDC_ASSOCIATE_PHOTO_CD,
        IDC_ASSOCIATE_CAMERA_RAW, IDC_ASSOCIATE_PHOTOSHOP, IDC_ASSOCIATE_GIF,
        IDC_ASSOCIATE_JPC,        IDC_ASSOCIATE_PPM,       IDC_ASSOCIATE_PGX,
        IDC_ASSOCIATE_MNG,
    };
    return ids;
}

bool CAssociationRegistration::Register(const std::wstring& programPath,
                                        const std::function<bool(int boxId)>& isChecked) {
    const std::optional<std::wstring> viewerPath = ViewerPathFromAssociationPath(programPath);
    // Extensions pointing at an application without an open command would open nothing: a
    // viewer whose command cannot be written is not registered at all.
    if (!viewerPath || !FitsRegistryText(OpenCommand(*viewerPath))) {
        return false;
    }
    RegisterViewerDocument(*viewerPath);
    for (const ExtensionBox& box : ExtensionBoxes()) {
        if (isChecked(box.boxId)) {
            for (const std::wstring& extension : box.extensions) {
                RegisterExtension(extension);
            }
        }
    }
    return true;
}

void CAssociationRegistration::RegisterViewerDocument(const std::wstring& viewerPath) {
    const std::wstring openCommand = OpenCommand(viewerPath);
    const std::wstring icon = viewerPath + L",1";
    const RegistryRoot root = RegistryRoot::ClassesRoot;
    for (const wchar_t* keyName : {kDocumentType, kApplicationKey}) {
        const std::wstring key = keyName;
        CreateKey(root, key);
        CreateKey(root, key + L"\\shell\\open\\command");
        CreateKey(root, key + L"\\DefaultIcon");
        SetString(root, key, L"", kDocumentName);
        SetString(root, key + L"\\shell\\open\\command", L"", openCommand);
        SetString(root, key + L"\\DefaultIcon", L"", icon);
    }
}

void CAssociationRegistration::RegisterExtension(const std::wstring& extension) {
    const std::wstring explorerKey = kFileExts + extension;
    const RegistryRoot user = RegistryRoot::CurrentUser;
    CreateKey(user, explorerKey);
    SetString(user, explorerKey, L"Application", L"OrvanelViewer.exe");
    CreateKey(user, explorerKey + L"\\UserChoice");
    SetString(user, explorerKey + L"\\UserChoice", L"ProgId", kApplicationKey);
    AddEmptyValue(user, explorerKey + L"\\OpenWithProgids", kDocumentType);
    // Video formats too are announced as images: the viewer opens them as such.
    const std::wstring extensionKey = L"." + extension;
    CreateKey(RegistryRoot::ClassesRoot, extensionKey);
    SetString(RegistryRoot::ClassesRoot, extensionKey, L"Content Type", L"image/" + extension);
    SetString(RegistryRoot::ClassesRoot, extensionKey, L"PerceivedType", L"image");
}

// Every failure is left behind: a registration that cannot be written in one place (no rights
// under the classes root, say) still writes what it can elsewhere.
void CAssociationRegistration::CreateKey(RegistryRoot root, const std::wstring& path) {
    if (FitsRegistryText(path)) {
        writer_.CreateRegistryKey(root, path);
    }
}

void CAssociationRegistration::SetString(RegistryRoot root, const std::wstring& path,
                                         const std::wstring& name, const std::wstring& text) {
    if (FitsRegistryText(path) && FitsRegistryText(text)) {
        writer_.SetRegistryString(root, path, name, text);
    }
}

void CAssociationRegistration::AddEmptyValue(RegistryRoot root, const std::wstring& path,
                                             const std::wstring& name) {
    if (FitsRegistryText(path)) {
        writer_.AddRegistryEmptyValue(root, path, name);
    }
}

} // namespace Orvanel::ShellPlan
