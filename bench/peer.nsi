; makensis's side of size_vs_makensis_lzma (scripts/bench), the peer of
; bench/lzma.toml: one section, every file in the installation folder, the
; directory and progress pages, an uninstaller.
Unicode true
!ifdef SOLID
SetCompressor /SOLID lzma
!else
SetCompressor lzma
!endif
Name "Wrenly Bench"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES\Wrenly Bench"
RequestExecutionLevel admin
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
Section "Main"
  SetOutPath "$INSTDIR"
  File "${CORPUS}\*"
  File "${PROGRAMS}\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd
Section "Uninstall"
  Delete "$INSTDIR\*"
  RMDir "$INSTDIR"
SectionEnd
