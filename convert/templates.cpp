#include "convert/script.h"

#include "platform/codepage.h"

#include <QString>
#include <QStringList>

// The two conversion scripts, one line of text per line of script. They are
// written here in UTF-8 and held as code page 950 bytes, the form in which
// they are written into the script files. Lines 11 to 13 of the extraction
// script and 11, 15 to 17 of the translation script are replaced at every run.

namespace {

const char *const extractionText = R"~(
# 產生字典檔 9/16/1998

################################################################
# 程式功能: 從『原始RC檔』與『翻譯後的RC檔』產生『字典檔』     #
#                                                              #
# 字典檔為文字檔, 奇數行為原始文字, 偶數行為翻譯後的文字。     #
# 本檔由程式自動產生, 每次執行時都會重新寫入。                 #
################################################################

#==== 使用前請修改下列檔案路徑(目錄以\\做分隔) =================

$f1="C:\\RC\\ENGLISH.RC";
$f2="C:\\RC\\CHINESE.RC";
$f3="C:\\RC\\GLOSSARY.TXT";

#================================================== 以下都不要改

open(FH,$f1);

$MenuI = 0 ;
$MenuSeg = 0;

$MenuI = 0 ;
$MenuSeg = 0;
$InString=0;
$WhatString=0;

$DialogI = 0 ;
$DialogSeg = 0;

$BeginStr='';
$EndStr='';


while (<FH>) {
   chop;

   if($BeginStr eq '') {
      if(/Microsoft/) {
         $BeginStr='BEGIN';
         $EndStr='END';
      }
      if(/Borland/ || /INPRISE/) {
         $BeginStr='{';
         $EndStr='}';
      }
   }

   if(/^([\d\w]+) DIALOG /)   { $WhatDialog=$1; }
   if(/^([\d\w]+) DIALOGEX /) { $WhatDialog=$1; }
   if(/^([\d\w]+) MENU/)      { $WhatMenu=$1; }
   if(/^STRINGTABLE/)         { $WhatString=1; }

#=============================== DIALOG
   if($WhatDialog ne "") {
      if(/^\s*$EndStr\s*$/) {
         $WhatDialog="";
         $DialogI=0;
      }
   }

#=============================== MENU
   if($WhatMenu ne "") {
      if(/^\s*$BeginStr\s*$/) {$MenuSeg++;}
      if(/^\s*$EndStr\s*$/) {
         $MenuSeg--;
         if($MenuSeg==0) {
            $WhatMenu="";
            $MenuI=0;
         }
      }
   }

#=============================== STRING
   if($WhatString==1) {
      if(/^\s*$BeginStr\s*$/) { $InString=1; }

      if(/^\s*$EndStr\s*$/) {
         $InString=0;
         $WhatString=0;
      }
   }

#=============================================================
   if($WhatMenu ne "" and $MenuSeg>0) {
      if(/\s*[\d\w]+\s+\"(.+)\",.*/ || /\s*[\d\w]+\s+\"(.+)\"$/) {
         $MenuString{$WhatMenu}[$MenuI++]=$1;
      }
   }

   if($InString==1) {
      if(/([\d\w]+),\s+\"(.+)\"/ || /([\d\w]+)\s+\"(.+)\"/) {
         $StringString{$1}=$2;
      }
   }

   if($WhatDialog ne "") {
      if( /\s*[\d\w]+\s+\"(.*?)\",.*/ || /\s*[\d\w]+\s+\"(.*?)\"$/) {
         if(length($1)) {
            $DialogString{$WhatDialog}[$DialogI++]=$1;
         }
      }
   }
}

close(FH);

#================

open(FH,$f2);
open(TR,'> '.$f3);

$MenuI = 0 ;
$MenuSeg = 0;

$MenuI = 0 ;
$MenuSeg = 0;
$InString=0;
$WhatString=0;

$DialogI = 0 ;
$DialogSeg = 0;

while (<FH>)
{
   chop;

   if(/^([\d\w]+) DIALOG /)   { $WhatDialog=$1; }
   if(/^([\d\w]+) DIALOGEX /) { $WhatDialog=$1; }
   if(/^([\d\w]+) MENU/)      { $WhatMenu=$1; }
   if(/^STRINGTABLE/)         { $WhatString=1; }

   if($WhatString==1) {
      if(/^\s*$BeginStr\s*$/) { $InString=1; }
      if(/^\s*$EndStr\s*$/) {
         $InString=0;
         $WhatString=0;
      }
   }

   if($WhatMenu ne "")
   {
      if(/^\s*$BeginStr\s*$/) {$MenuSeg++;}
      if(/^\s*$EndStr\s*$/) {
         $MenuSeg--;
         if($MenuSeg==0) {
            $WhatMenu="";
            $MenuI=0;
         }
      }
   }

   if($WhatDialog ne "") {
      if(/^\s*$EndStr\s*$/) {
         $WhatDialog="";
         $DialogI=0;
      }
   }

   if($WhatMenu ne "" and $MenuSeg>0) {
      if( /\s*[\d\w]+\s+\"(.+)\",.*/ || /\s*[\d\w]+\s+\"(.+)\"$/) {
         print TR "$MenuString{$WhatMenu}[$MenuI++]\n$1\n";
      }
   }

   if($InString==1) {
      if(/([\d\w]+),\s+\"(.+)\"/ || /([\d\w]+)\s+\"(.+)\"/) {
         print TR "$StringString{$1}\n$2\n";
      }
   }

   if($WhatDialog ne "") {
      if( /\s*[\d\w]+\s+\"(.*?)\",.*/ || /\s*[\d\w]+\s+\"(.*?)\"$/) {
         if(length($1) && $1 !~ /^\s+$/ ) {
            print TR "$DialogString{$WhatDialog}[$DialogI++]\n";
            print TR "$1\n";
         }
      }
   }

}

close(TR);
close(FH);

print 'OK!';
)~";

const char *const translationText = R"~(
# 自動翻譯 9/16/1998

################################################################
# 程式功能: 從『字典檔』與『新版原RC檔』產生『新翻譯RC檔』     #
#                                                              #
# 字典檔為文字檔, 奇數行為原始文字, 偶數行為翻譯後的文字。     #
# 本檔由程式自動產生, 每次執行時都會重新寫入。                 #
################################################################

#==== 設定是否將對話框 8pt 的英文字形改為新細明體 9pt =======

$ChangeFont=-1;  # 是:-1 , 否:0

#==== 使用前請修改下列檔案路徑(目錄以\\做分隔) =================

$f1="C:\\RC\\GLOSSARY.TXT";
$f2="C:\\RC\\NEWENG.RC";
$f3="C:\\RC\\NEWCHT.RC";

#================================================== 以下都不要改

open(FH,$f1);

while (<FH>) {
   chop;
   $cstr=<FH>;
   chop $cstr;
   $trs{$_}=$cstr;
}

close(FH);
#================

open(FH,$f2);
open(TR,'> '.$f3);

$MenuSeg = 0;
$InString=0;
$WhatString=0;
$DialogSeg = 0;

$BeginStr='';
$EndStr='';

while (<FH>) {
   $EngStr="";
   chop;

   if($BeginStr eq '') {
      if(/Microsoft/) {
         $BeginStr='BEGIN';
         $EndStr='END';
      }
      if(/Borland/ || /INPRISE/) {
         $BeginStr='{';
         $EndStr='}';
      }
   }

   if(/^([\d\w]+) DIALOG /)   { $WhatDialog=$1; }
   if(/^([\d\w]+) DIALOGEX /) { $WhatDialog=$1; }
   if(/^([\d\w]+) MENU/)      { $WhatMenu=$1; }
   if(/^STRINGTABLE/)         { $WhatString=1; }

   if($WhatString==1) {
      if(/^\s*$BeginStr\s*$/) { $InString=1; }
      if(/^\s*$EndStr\s*$/) {
         $InString=0;
         $WhatString=0;
      }
   }

   if($WhatMenu ne "") {
      if(/^\s*$BeginStr\s*$/) {$MenuSeg++;}
      if(/^\s*$EndStr\s*$/) {
         $MenuSeg--;
         if($MenuSeg==0) {
            $WhatMenu="";
         }

      }
   }

   if($WhatDialog ne "") {
      if(/^\s*$EndStr\s*$/) {
         $WhatDialog="";
      }
   }

   #=====================================
   if($WhatMenu ne "" and $MenuSeg>0) {
      if(/^(\s*[\d\w]+\s+\")(.+)(\",.*)$/ || /^(\s*[\d\w]+\s+\")(.+)(\")$/) {
         $EngStr=$2;
         $A=$1;
         $B=$3;
      }
   }

   if($InString==1) {
      if(/^(\s*[\d\w]+,\s+\")(.+)(\".*)$/ || /^(\s*[\d\w]+\s+\")(.+)(\".*)$/) {
         $EngStr=$2;
         $A=$1;
         $B=$3;
      }
   }

   if($WhatDialog ne "") {

      if(/^(\s*[\d\w]+\s+\")(.*?)(\",.*)$/ || /^(\s*[\d\w]+\s+\")(.*?)(\")$/) {
         if(length($2)) {
            $EngStr=$2;
            $A=$1;
            $B=$3;
         }
      }

      if(/^FONT 8, \".+\"(.*?)$/ && $ChangeFont) { $_='FONT 9, "新細明體"'.$1; }
   }

   #==================================

   if ( $EngStr and $trs{$EngStr}) {
      print TR $A.$trs{$EngStr}.$B."\n";
   }
   else {
      print TR "$_\n";
   }

}

close(TR);
close(FH);

print 'OK!';
)~";

std::vector<std::string> splitLines(const char *utf8)
{
    // The text starts with the line end after the opening delimiter and ends
    // with the line end of its last line.
    const QString text = QString::fromUtf8(utf8 + 1);
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeLast();
    std::vector<std::string> bytes;
    bytes.reserve(std::size_t(lines.size()));
    for (const QString &line : lines)
        bytes.push_back(cp950::encode(line).value());
    return bytes;
}

} // namespace

ScriptTemplate ExtractionTemplate()
{
    static const std::vector<std::string> lines = splitLines(extractionText);
    return ScriptTemplate(lines);
}

ScriptTemplate TranslationTemplate()
{
    static const std::vector<std::string> lines = splitLines(translationText);
    return ScriptTemplate(lines);
}
