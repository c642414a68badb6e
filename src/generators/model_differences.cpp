#include "generators/model_differences.h"

#include <string_view>

namespace veltrin {

namespace {

// The closing block of every +2 listing, the same for all three models. One line per line of text: the block
// ends with an empty line. The table columns start at characters 3, 17, 31 and 45 and the comments at 59;
// the two continuation lines carry their text on under the second quotation of the line above.
constexpr std::string_view kModelDifferences = R"block(; ------------
; Sound Socket
; ------------
;                 _
;                | |
; Audio ____/\   |_|
;                 |
; 0V    __________|


; ================================
; ROM 0 Differences Between Models
; ================================
; The Spectrum +2 contains all of the functionality of the Spectrum 128 but excludes all routines relating
; to the Tape Tester option. Aside from this, the only other changes are to the copyright message and the
; message displayed when the Tape Loader option is invoked. All of the bugs that exist in the Spectrum 128
; ROM 0 are still present in the Spectrum +2. English, Spanish and French versions of the Spectrum +2 were
; produced and these differed only in the language of the menu and error messages. However, a consequence
; of these translations was that the location of various routines were shifted.
;
; The following shows a comparison of ROM 0 for the range of Spectrum +2 models and the Spectrum 128,
; and details how the address ranges correspond between them.
;
; Spectrum 128  Spectrum +2   French +2     Spanish +2    Comment
; ------------  -----------   ---------     ----------    -------
; $0000-$0565   $0000-$0565   $0000-$0565   $0000-$0565
; $0566-$057C   $0566-$059B   $0566-$059B   $0566-$059B   Copyright message modified from "(c)1986 Sinclair Research Ltd" to "(c)1986, (c)1982 Amstrad Consumer"
;                                                                                                                            "                  Electronics plc".
; $057D-$2743   $059C-$276C   $059C-$276C   $059C-$276C
; $2744         $2763         $2763         $2763         Reduced the count of the number of main menu items from 5 to 4 due to the removal of the Tape Tester.
; $2745-$2750   $2764-$276F   $2764-$276F   $2764-$276F
; $2751-$2753                                             Present in the 128 only. Contains the Tape Tester main menu option jump table entry.
; $2754         $2770         $2770         $2770         Reduced the count of the number of main menu item strings from 5 to 4 due to the removal of the Tape Tester.
; $2755-$275D   $2771-$2779   $2771-$2779   $2771-$2779   Main menu "128    " menu title text.
; $275E-$2768   $277A-$2784   $277A-$2781   $277A-$2784   Main menu "Tape Loader" menu option text.
; $2769-$2771   $2785-$278D   $2782-$278B   $2785-$278D   Main menu "128 BASIC" menu option text.
; $2772-$278B   $278E-$2797   $278C-$2797   $278E-$2798   Main menu "Calculator" menu option text.
; $277C-$2783   $2798-$279F   $2798-$27A0   $2799-$27A0   Main menu "48 BASIC" menu option text.
; $2784-$278E                                             Present in the 128 only. Main menu "Tape Tester" menu option text.
; $278F-$27A0   $27A0-$27B1   $27A1-$27B2   $27A1-$27B2
; $27A1-$27A9   $27B2-$27BA   $27B3-$27BB   $27B3-$27BB   Edit menu "Options " menu title text.
; $27AA-$27B2   $27BB-$27C3   $27BC-$27C5   $27BC-$27C4   Edit menu "128 BASIC" menu option text.
; $27B3-$27BA   $27C4-$27CB   $27C6-$27D0   $27C5-$27CD   Edit menu "Renumber" menu option text.
; $27BB-$27C0   $27CC-$27D1   $27D1-$27D5   $27CE-$27D5   Edit menu "Screen" menu option text.
; $27C1-$27C5   $27D2-$27D6   $27D6-$27DF   $27D6-$27DD   Edit menu "Print" menu option text.
; $27C6-$27C9   $27D7-$27DA   $27E0-$27E5   $27DE-$27E3   Edit menu "Exit" menu option text.
; $27CA-$27D2   $27DB-$27E3   $27E6-$27EE   $27E4-$27EC
; $27D3-$27DB   $27E4-$27EC   $27EF-$27F7   $27ED-$27F5   Calculator menu "Options " menu title text.
; $27DC-$27E5   $27ED-$27F6   $27F8-$2803   $27F6-$2800   Calculator menu "Calculator" menu option text.
; $27E6-$27E9   $27F7-$27FA   $2804-$2809   $2801-$2806   Calculator menu "Exit" menu option text.
; $27EA-$27EB   $27FB-$27FC   $280A-$280B   $2807-$2808
; $27EC         $27FD         $280C         $2809         Display location of the Tape Loader message changed from lower screen row 1 to lower screen row 0.
; $27ED-$27F3   $27FE-$2804   $280D-$2813   $280A-$2810
; $27F4-$2810   $2805-$283C   $2814-$2851   $2811-$284E   Tape Loader message modified from "To cancel - press BREAK twice" to "Insert tape and press PLAY"
;                                                                                                                              "To cancel - press BREAK twice".
; $2811-$2815   $283D-$2841   $2852-$2856   $284F-$2853
; $2816-$281B                                             Present in the 128 only. Contains the Tape Tester menu option handler routine.
; $281C-$3854   $2842-$387A   $2857-$388F   $2854-$388C
; $3855-$3859                                             Present in the 128 only. Contains the Tape Tester black banner printing routine.
; $385A-$3BE8   $387B-$3C09   $3890-$3C1E   $388D-$3C1B
; $3BE9-$3C62                                             Present in the 128 only. Contains the Tape Tester routine.
; $3C63-$3FFE   $3C0A-$3FA5   $3C1F-$3FBA   $3C1C-$3FB7
;               $3FA6-$3FFE   $3FBB-$3FFE   $3FB8-$3FFE   Unused space, all containing $00.
; $3FFF         $3FFF         $3FFF         $3FFF

)block";

}  // namespace

void AppendModelDifferences(LineSink& listing) {
    std::string_view rest = kModelDifferences;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        listing.Write(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
}

}  // namespace veltrin
