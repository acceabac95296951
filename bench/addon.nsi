; The peer installer for the benchmarks: the same seven add-on files into
; $INSTDIR\Spellcheck\, one section, the stock directory and progress pages.
; Defines: OUTFILE; FILES, the folder of the files under their entry names;
; COMPRESSOR "zlib" or "/SOLID lzma"; EMPTY for a section with no files;
; AMD64 for the x86_64 stub.
Unicode true
!ifdef AMD64
Target amd64-unicode
!endif
SetCompressor ${COMPRESSOR}
Name "Scrivora Danish Spellchecker"
OutFile "${OUTFILE}"
InstallDir "$TEMP\ScrivoraBench"
RequestExecutionLevel user
Page directory
Page instfiles

Section
!ifndef EMPTY
  SetOutPath "$INSTDIR\Spellcheck"
  File "${FILES}/Danish.asc"
  File "${FILES}/hunspell.dll"
  File "${FILES}/da_DK.dic"
  File "${FILES}/da_DK.aff"
  File "${FILES}/userdicda.tlx"
  File "${FILES}/Danish.hyph"
  File "${FILES}/Danish.thes"
!endif
SectionEnd
