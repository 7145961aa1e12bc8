; Quillmark's Windows installer: a per-user install, no administrator asked.
;   makensis -DVERSION=3.51 -DSTAGE=<the zip's folder> -DICON=<quillmark.ico> -DOUTFILE=<setup.exe> installer.nsi
; The program goes into %LOCALAPPDATA%\Programs\Quillmark as an installed tree: bin\ with
; the programs and their libraries, share\quillmark\ with the help page and the sample
; database. An installed copy keeps its settings in %APPDATA%\Quillmark, which the
; uninstaller leaves where it is.
; A 64-bit installer: the program is 64-bit, and Windows (and a 64-bit Wine) run it natively.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark"

Name "Quillmark ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillmark"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quillmark ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quillmark.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Quillmark"
VIAddVersionKey "CompanyName" "The Quillmark developers"
VIAddVersionKey "FileDescription" "Quillmark ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "2026 The Quillmark developers"

Section "Quillmark"
    ; An older version's files go first, so that none of them is left over.
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    SetOutPath "$INSTDIR\bin"
    File "${STAGE}\*.exe"
    File "${STAGE}\*.dll"
    SetOutPath "$INSTDIR\bin\platforms"
    File "${STAGE}\platforms\*.dll"
    SetOutPath "$INSTDIR\bin\styles"
    File "${STAGE}\styles\*.dll"
    SetOutPath "$INSTDIR\share\quillmark"
    File "${STAGE}\index.html"
    File "${STAGE}\servers.db2"
    File "${STAGE}\geo-whois-asn-country-ipv4.mmdb"
    File "${STAGE}\country-data.txt"
    File "${STAGE}\NRO_LICENSE"
    SetOutPath "$INSTDIR\bin"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Quillmark.lnk" "$INSTDIR\bin\quillmark.exe" "" "$INSTDIR\bin\quillmark.exe" 0

    ; Apps & features: name, version, publisher, icon, size and the uninstaller.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillmark"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Quillmark developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\quillmark.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Quillmark.lnk"
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The settings in %APPDATA%\Quillmark are the user's, and stay.
SectionEnd
