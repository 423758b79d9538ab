#pragma once
// The decorated names hosts look up in Quillet.dll, exactly these and no others.
static const char* const kExpectedExports[] = {
    "??0CQuillet@@QEAA@XZ",
    "??4CQuillet@@QEAAAEAV0@AEBV0@@Z",
    "?fnQuillet@@YAHXZ",
    "?nQuillet@@3HA",
    "?ShowDialogBox@@YA_JPEAUHWND__@@@Z",
    "?ShowAssociateFilesExtension@@YAHPEAUHWND__@@@Z",
    "?ShowColorBox@@YAHPEAUHWND__@@AEAK@Z",
    "?ShowOpenCLDialogBox@@YA?AV?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@"
    "PEAUHWND__@@V?$vector@V?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@V?$"
    "allocator@V?$basic_string@_WU?$char_traits@_W@std@@V?$allocator@_W@2@@std@@@2@@2@@Z",
    "?ShowOpenDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowSaveDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowVideoOpenBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowFolderSelectDialogBox@@YAHPEA_WPEAUHWND__@@@Z",
    "?ShowPrintPreview@@YAHPEAUHWND__@@PEAVCMargeData@@PEAVCOrvanelBitmap@@@Z",
    "?PrintDialog@@YAHPEAUHWND__@@PEAVCMargeData@@PEAVCOrvanelBitmap@@AEB_N@Z",
    "?ShowMotionBlur@@YAHPEAUHWND__@@PEAVCOrvanelBitmap@@AEAN22@Z",
    "?ShowLensFlareDialogBox@@YAHPEAUHWND__@@PEAVCOrvanelBitmap@@AEAKAEAH333333@Z",
};
