; **************************************
; *** SPECTRUM 128 ROM 0 DISASSEMBLY ***
; **************************************

; This is the sample Spectrum 128 ROM 0 listing that comes with Veltrin. It is laid out as a fully annotated
; listing is: comment headers above the routines, address labels in column 1 and indented instructions. The
; blocks in which the Spectrum +2 differs from the Spectrum 128 are written out byte for byte; the other
; routines are condensed, their remaining bytes reserved with DEFS so that every label keeps its address.

; The listing assembles with pasmo. The definitions below map the directives for assemblers that use the
; dotted forms; comment them out for an assembler that does not know #DEFINE.

#DEFINE DEFB .BYTE
#DEFINE DEFW .WORD
#DEFINE DEFM .TEXT
#DEFINE DEFS .FILL
#DEFINE ORG  .ORG
#DEFINE EQU  .EQU

; Release Date
; ------------
; Sample listing, revision 4, 2 June 2024.

; Notes
; -----
; ROM 0 holds the 128 editor, the menus, the RAM disk, the PLAY command and the RS232 routines. ROM 1 holds
; the 48 BASIC interpreter; routines there are written as in "$0556 (ROM 1)" and are never relocated.
; A reference to an address of this ROM is written "$xxxx (ROM 0)", as in $2744 (ROM 0) for the main menu
; jump table, or as a range such as $281C-$3854 (ROM 0). Addresses without the marker, such as the screen
; at $4000-$5AFF or the system variables from $5B00, are left as written.

        ORG  $0000

; ================
; RESTART ROUTINES
; ================

; ---------------
; RST $00 - Reset
; ---------------
; Entered at power on and on a reset; continues at $00C7 (ROM 0).
L0000:  DI                ; Ensure interrupts are disabled.
        LD   BC,$692B     ; A delay while the power settles.
        JP   L00C7        ; Continue the reset.
        DEFS 1            ; Unused.

; -----------------------
; RST $08 - Error Handler
; -----------------------
; The byte after the restart holds the error code.
L0008:  EX   (SP),HL      ; Fetch the address of the error code.
        LD   A,(HL)       ; The error code.
        JP   L0390        ; Produce the error report.
        DEFS 3            ; Unused.

; ----------------------
; RST $10 - Print String
; ----------------------
; Prints the string at HL, whose last character has bit 7 set.
L0010:  JP   L1CD0        ; Print it.
        DEFS 5            ; Unused.

; ---------------------------
; RST $18 - Collect Character
; ---------------------------
; Exit: A=the character at CH_ADD.
L0018:  LD   HL,($5C5D)   ; CH_ADD.
        LD   A,(HL)       ; Fetch the character.
        RET
        DEFS 3            ; Unused.

; ------------------------
; RST $20 - Next Character
; ------------------------
; Exit: A=the character after CH_ADD, which is advanced.
L0020:  INC  HL
        LD   ($5C5D),HL   ; Advance CH_ADD.
        LD   A,(HL)       ; Fetch the character.
        RET
        DEFS 2            ; Unused.

; -------------------------------
; RST $28 - Call Routine in ROM 1
; -------------------------------
; The two bytes after the restart hold the address of a routine in ROM 1, as in $0556 (ROM 1).
; The paging is done by the routine at $0074 (ROM 0).
L0028:  EX   (SP),HL      ; Fetch the address of the inline word.
        PUSH AF
        LD   A,(HL)       ; Low byte of the routine address.
        INC  HL
        INC  HL           ; Step past the word.
        JP   L0074        ; Swap to ROM 1 and call it.

; --------------------
; RST $30 - Make Space
; --------------------
; Entry: BC=the number of bytes to make room for.
L0030:  JP   L3560        ; Make the room.
        DEFS 5            ; Unused.

; --------------------------
; Maskable Interrupt Routine
; --------------------------
; Advances the frame counter, scans the keyboard and services the sound chip 50 times a second.
L0038:  PUSH AF           ; Save the registers.
        PUSH HL
        LD   HL,($5C78)   ; FRAMES.
        INC  HL           ; Advance the counter.
        LD   ($5C78),HL
        LD   A,H
        OR   L
        JR   NZ,L0049     ; Jump unless it wrapped round.
        LD   HL,$5C7A
        INC  (HL)         ; Advance the high byte.
L0049:  PUSH BC
        PUSH DE
        CALL L0230        ; Scan the keyboard.
        CALL L0B40        ; Service the sound chip.
        POP  DE
        POP  BC
        POP  HL           ; Restore the registers.
        POP  AF
        EI
        RET
        DEFS 15           ; Unused.

; ------------------------------
; Non-Maskable Interrupt Routine
; ------------------------------
; Jumps to the routine whose address is in NMIADD when that is not zero.
L0066:  PUSH AF
        PUSH HL
        LD   HL,($5CB0)   ; NMIADD.
        LD   A,H
        OR   L
        JR   Z,L0070      ; Jump when no routine is set.
        JP   (HL)         ; Enter it.
L0070:  POP  HL
        POP  AF
        RETN

; -------------
; Swap to ROM 1
; -------------
; Pages in ROM 1, calls the routine whose address is in HL, and pages ROM 0 back in via $00A0 (ROM 0).
L0074:  PUSH BC
        LD   BC,$7FFD     ; The paging port.
        LD   A,($5B5C)    ; BANKM.
        OR   $10          ; Select ROM 1.
        DI
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        POP  BC
        CALL L00A0        ; Return here once the routine is done.
        RET
        DEFS 23           ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Return to ROM 0
; ---------------
; Pages ROM 0 back in after a call into ROM 1.
L00A0:  PUSH AF
        PUSH BC
        LD   BC,$7FFD
        LD   A,($5B5C)    ; BANKM.
        AND  $EF          ; Select ROM 0.
        DI
        LD   ($5B5C),A
        OUT  (C),A
        EI
        POP  BC
        POP  AF
        RET
        DEFS 19           ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Reset Routine (Continued)
; -------------------------
; Waits, then tests the RAM banks and sets up the system variables via $0137 (ROM 0).
L00C7:  DEC  BC           ; The delay loop.
        LD   A,B
        OR   C
        JR   NZ,L00C7     ; Repeat until done.
        LD   SP,$5BFF     ; A temporary stack.
        CALL L01C0        ; Clear the RAM banks.
        CALL L0137        ; Set up the system variables.
        JP   L0520        ; Print the copyright message.
        DEFS 95           ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------------
; Initialise System Variables
; ---------------------------
; Copies the initial values into the system variables at $5B00.
L0137:  LD   HL,L0400     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L057D        ; Continue.
        DEFS 123          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Clear RAM Banks
; ---------------
; Fills each RAM bank with zeros, paging them in turn.
L01C0:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L0137        ; Work on the bank.
        RET
        DEFS 91           ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Keyboard Scan
; -------------
; Called from the interrupt routine at $0038 (ROM 0).
; Exit: Zero flag set when no key is pressed.
L0230:  LD   B,$08        ; The number of passes.
L0232:  PUSH BC           ; Save the counter.
        CALL L02A4        ; Do one pass.
        POP  BC
        DJNZ L0232        ; Repeat.
        JP   L0321        ; Finish off.
        DEFS 104          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Key Decoding
; ------------
; Entry: E=the key number from the keyboard scan.
L02A4:  CP   $0D          ; ENTER?
        JP   Z,L0321      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L0390      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L02B7      ; Ignore it if so.
        CALL L1CD0        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L02B7:  AND  A            ; Signal no key was handled.
        RET
        DEFS 104          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Produce a Click
; ---------------
; Sounds the keyboard click through the border port.
L0321:  LD   HL,L0400     ; Point at the table.
        LD   B,$04        ; The number of entries.
L0326:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L0326        ; Repeat for every entry.
        RET
        DEFS 99           ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Error Report
; ------------
; Entry: A=the error code. Prints the message and returns to the editor.
L0390:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F40     ; Point at the text.
L0394:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L03A1      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L0394        ; Back for the next one.
L03A1:  POP  HL           ; Restore the pointer.
        RET
        DEFS 93           ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; RS232 Baud Rate Table
; ---------------------
; Timing constants for the baud rates from 50 to 9600.
L0400:  DEFW L0440        ; First handler.
        DEFW L04C8        ; Second handler.
        DEFW L0321        ; Third handler.
        DEFB $00          ; End marker.
        DEFS 57           ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; RS232 Output
; ------------
; Entry: A=the byte to send.
L0440:  LD   HL,L0400     ; Point at the table.
        LD   B,$0B        ; The number of entries.
L0445:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L0445        ; Repeat for every entry.
        RET
        DEFS 124          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; RS232 Input
; -----------
; Exit: Carry set when a byte was read; A=the byte.
L04C8:  CALL L0440        ; Check the parameter.
        JR   NC,L04CF     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $15
L04CF:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 73           ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Print Copyright Message
; -----------------------
; Prints the message at $0561 (ROM 0) at the foot of the start-up screen.
L0520:  LD   HL,L0561     ; The copyright message.
        CALL L1CD0        ; Print it.
        LD   A,$07
        OUT  ($FE),A      ; White border.
        JP   L057D        ; Continue the start-up.
        DEFS 52           ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Copyright Message
; -----------------
; Printed by the routine at $0520 (ROM 0).
L0561:  DEFB $7F          ; (c)
        DEFM "1986 Sinclair Research Ltd"
        DEFB '.'+$80

; ----------------
; Start-up Routine
; ----------------
; Entered once the copyright message is shown; initialises the RAM disk.
L057D:  CALL L0D90        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1CD0        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L22C0        ; Continue in the shared routine.
        DEFS 72           ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; RAM Disk Catalogue
; ------------------
; Lists the files held in the RAM disk of banks 1, 3, 4 and 6.
L05D6:  LD   IX,$5B66     ; Point at the RAM disk variables.
        LD   A,(IX+$00)   ; Fetch the flags.
        BIT  3,A          ; Is the catalogue open?
        JP   Z,L0740      ; Jump if not.
        LD   E,(IX+$01)
        LD   D,(IX+$02)   ; DE=the catalogue entry.
        CALL L1330        ; Process it.
        RES  3,(IX+$00)   ; Close the catalogue.
        RET
        DEFS 144          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Save to RAM Disk
; ----------------
; Entry: IX points at the file header.
L0680:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3D20        ; Work on the bank.
        RET
        DEFS 171          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Load from RAM Disk
; ------------------
; Entry: IX points at the file header.
; Exit: Carry set when the file was found.
L0740:  LD   IX,$5B66     ; Point at the RAM disk variables.
        LD   A,(IX+$00)   ; Fetch the flags.
        BIT  3,A          ; Is the catalogue open?
        JP   Z,L0810      ; Jump if not.
        LD   E,(IX+$01)
        LD   D,(IX+$02)   ; DE=the catalogue entry.
        CALL L3D20        ; Process it.
        RES  3,(IX+$00)   ; Close the catalogue.
        RET
        DEFS 182          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Erase from RAM Disk
; -------------------
; Removes a file and closes the gap in the catalogue.
L0810:  LD   HL,L3C63     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L05D6        ; Continue.
        DEFS 146          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; PLAY Command
; ------------
; Handles PLAY with up to eight strings.
; Called from the syntax table at $29C0 (ROM 0).
L08B0:  LD   B,$08        ; The number of passes.
L08B2:  PUSH BC           ; Save the counter.
        CALL L09A0        ; Do one pass.
        POP  BC
        DJNZ L08B2        ; Repeat.
        JP   L0B40        ; Finish off.
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; PLAY - Parse String
; -------------------
; Reads the next command of a PLAY string.
L09A0:  CALL L0A80        ; Check the parameter.
        JR   NC,L09A7     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $1B
L09A7:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; PLAY - Note Table
; -----------------
; Periods of the twelve notes of the lowest octave.
L0A80:  DEFW $0D10,$0C55  ; C, C#
        DEFW $0BA4,$0AFC  ; D, D#
        DEFW $0A5F,$09CA  ; E, F
        DEFW $093D,$08B8  ; F#, G
        DEFW $083B,$07C5  ; G#, A
        DEFW $0755,$06EC  ; A#, B
        DEFS 168          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Sound Chip Service
; ------------------
; Called from the interrupt routine at $0038 (ROM 0).
; Entry: A=the register, E=the value.
L0B40:  LD   BC,$FFFD     ; The sound chip register port.
        OUT  (C),A        ; Select the register.
        LD   B,$BF        ; The sound chip data port.
        OUT  (C),E        ; Write the value.
        LD   HL,L0A80     ; The note table.
        ADD  A,A
        LD   E,A
        LD   D,$00
        ADD  HL,DE        ; Index it.
        RET
        DEFS 110          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; MIDI Output
; -----------
; Sends the bytes of a PLAY string out of the MIDI port at 31250 baud.
L0BC0:  LD   HL,L0A80     ; Point at the table.
        LD   B,$0C        ; The number of entries.
L0BC5:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L0BC5        ; Repeat for every entry.
        RET
        DEFS 132          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; SPECTRUM Command
; ----------------
; Leaves 128 BASIC for 48 BASIC through the option handler at $2862 (ROM 0).
L0C50:  CALL L1950        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L3640        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L2862        ; Continue in the shared routine.
        DEFS 127          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; New Error Reports
; -----------------
; Prints one of the reports that ROM 0 adds to those of ROM 1.
L0CE0:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F40     ; Point at the text.
L0CE4:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L0CF1      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L0CE4        ; Back for the next one.
L0CF1:  POP  HL           ; Restore the pointer.
        RET
        DEFS 157          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Editor - Initialise
; -------------------
; Sets up the editing buffers in RAM bank 7.
L0D90:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L1260        ; Work on the bank.
        RET
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Editor - Key Handler
; --------------------
; Entry: A=the key code.
L0E60:  CP   $0D          ; ENTER?
        JP   Z,L1500      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L1010      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L0E73      ; Ignore it if so.
        CALL L0F30        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L0E73:  AND  A            ; Signal no key was handled.
        RET
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Editor - Insert Character
; -------------------------
; Entry: A=the character to insert at the cursor.
L0F30:  LD   HL,L1260     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L1330        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Editor - Delete Character
; -------------------------
; Removes the character to the left of the cursor.
L1010:  LD   HL,L1260     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L1330        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Editor - Cursor Up
; ------------------
; Moves the cursor up one row, scrolling when needed.
L10F0:  LD   B,$01        ; The number of passes.
L10F2:  PUSH BC           ; Save the counter.
        CALL L1880        ; Do one pass.
        POP  BC
        DJNZ L10F2        ; Repeat.
        JP   L1330        ; Finish off.
        DEFS 164          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Editor - Cursor Down
; --------------------
; Moves the cursor down one row, scrolling when needed.
L11A0:  LD   B,$01        ; The number of passes.
L11A2:  PUSH BC           ; Save the counter.
        CALL L17A0        ; Do one pass.
        POP  BC
        DJNZ L11A2        ; Repeat.
        JP   L1330        ; Finish off.
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------------
; Editor - Screen Line Buffer
; ---------------------------
; Copies a screen row into the line buffer.
L1260:  LD   HL,L3DE0     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L1330        ; Continue.
        DEFS 194          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Editor - Print Line
; -------------------
; Prints the BASIC line whose address is in HL.
L1330:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1420     ; Point at the text.
L1334:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $0D          ; End of the text?
        JR   Z,L1341      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L1334        ; Back for the next one.
L1341:  POP  HL           ; Restore the pointer.
        RET
        DEFS 221          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------------
; Editor - Expand Tokens
; ----------------------
; Writes each keyword token out in full, from the table at $2AB0 (ROM 0).
L1420:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L2AB0     ; Point at the text.
L1424:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L1431      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L1424        ; Back for the next one.
L1431:  POP  HL           ; Restore the pointer.
        RET
        DEFS 205          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Line Syntax Check
; -----------------
; Checks an edited line before it is entered.
L1500:  CALL L29C0        ; Check the parameter.
        JR   NC,L1507     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $0B
L1507:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 225          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Renumber - Main Routine
; -----------------------
; Renumbers the program in steps of ten.
; Called by the edit menu handler at $23A0 (ROM 0).
L15F0:  LD   B,$0A        ; The number of passes.
L15F2:  PUSH BC           ; Save the counter.
        CALL L16C0        ; Do one pass.
        POP  BC
        DJNZ L15F2        ; Repeat.
        JP   L1330        ; Finish off.
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------------------
; Renumber - Update References
; ----------------------------
; Changes the line numbers after GO TO, GO SUB and RESTORE.
L16C0:  PUSH DE           ; Save the line number.
        LD   HL,L3480     ; Start of the search.
L16C4:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L16CC     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L16C4        ; Try the next one.
L16CC:  POP  DE
        JP   NZ,L3720     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------
; Scroll Up
; ---------
; Scrolls the editing area up one row.
L17A0:  LD   HL,L1260     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L1950        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Scroll Down
; -----------
; Scrolls the editing area down one row.
L1880:  LD   HL,L1260     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L1950        ; Continue.
        DEFS 194          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Clear Lower Screen
; ------------------
; Clears the two rows at the foot of the screen.
L1950:  LD   B,$40        ; The number of passes.
L1952:  PUSH BC           ; Save the counter.
        CALL L1CD0        ; Do one pass.
        POP  BC
        DJNZ L1952        ; Repeat.
        JP   L1DA0        ; Finish off.
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------
; Print Menu
; ----------
; Prints the menu whose text table is at HL, as the main menu at $2754 (ROM 0).
L1A20:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L385A     ; Point at the text.
L1A24:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L1A31      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L1A24        ; Back for the next one.
L1A31:  POP  HL           ; Restore the pointer.
        RET
        DEFS 221          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Menu - Move Highlight
; ---------------------
; Entry: A=$01 to move down, $FF to move up.
L1B10:  CALL L3AA0        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1DA0        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L3920        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Menu - Read Key
; ---------------
; Waits for a key and returns it in A.
L1BF0:  CP   $0D          ; ENTER?
        JP   Z,L0E60      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L22C0      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L1C03      ; Ignore it if so.
        CALL L0321        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L1C03:  AND  A            ; Signal no key was handled.
        RET
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Print Character
; ---------------
; Prints the character in A through channel S.
; Also entered from RST $10 at $0010 (ROM 0).
L1CD0:  CALL L3DE0        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1DA0        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L3EA0        ; Continue in the shared routine.
        DEFS 191          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Colour Attributes
; -----------------
; Sets the permanent colours from ATTR_P.
L1DA0:  LD   HL,L3AA0     ; Point at the table.
        LD   B,$04        ; The number of entries.
L1DA5:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L1DA5        ; Repeat for every entry.
        RET
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------
; Set Border
; ----------
; Entry: A=the border colour.
L1E70:  LD   HL,L3AA0     ; Point at the table.
        LD   B,$01        ; The number of entries.
L1E75:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L1E75        ; Repeat for every entry.
        RET
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Error Message Table
; -------------------
; The texts of the new error reports.
L1F40:  DEFM "Program finishe"
        DEFB 'd'+$80
        DEFM "Nonsense in BASI"
        DEFB 'C'+$80
        DEFM "Invalid I/O devic"
        DEFB 'e'+$80
        DEFM "Out of memor"
        DEFB 'y'+$80
        DEFM "Bad paramete"
        DEFB 'r'+$80
        DEFM "Missing RAM disk fil"
        DEFB 'e'+$80
        DEFS 142          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Print Error Message
; -------------------
; Entry: A=the report number.
L2030:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F40     ; Point at the text.
L2034:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L2041      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L2034        ; Back for the next one.
L2041:  POP  HL           ; Restore the pointer.
        RET
        DEFS 189          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Calculator Mode Entry
; ---------------------
; Enters the calculator from the option handler at $2851 (ROM 0).
L2100:  CALL L0D90        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L27D2        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L21E0        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------------
; Calculator - Evaluate Line
; --------------------------
; Evaluates the expression on the edit line.
L21E0:  CALL L3010        ; Check the parameter.
        JR   NC,L21E7     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $19
L21E7:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; =====
; MENUS
; =====

; -----------------
; Main Menu Handler
; -----------------
; Shows the main menu and runs the option chosen. The menu texts are at $2754 (ROM 0) and the jump
; table at $2744 (ROM 0).
L22C0:  LD   HL,L2754     ; The main menu texts.
        CALL L1A20        ; Print the menu.
        LD   HL,L2744     ; The main menu jump table.
        JP   L2560        ; Wait for a selection and run it.
        DEFS 212          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Edit Menu Handler
; -----------------
; The texts are at $27A0 (ROM 0).
L23A0:  LD   HL,L27A0     ; The edit menu texts.
        CALL L1A20        ; Print the menu.
        CALL L1BF0        ; Read a key.
        CP   $04          ; Renumber?
        JP   Z,L15F0      ; Renumber the program.
        JP   L27CB        ; Otherwise back to the menu loop.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Calculator Menu Handler
; -----------------------
; The texts are at $27D2 (ROM 0).
L2480:  LD   HL,L27D2     ; The calculator menu texts.
        CALL L1A20        ; Print the menu.
        CALL L1BF0        ; Read a key.
        CP   $02          ; Exit?
        JP   Z,L22C0      ; Back to the main menu.
        JP   L2100        ; Back to the calculator.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Menu Dispatcher
; ---------------
; Entry: HL points at a jump table whose first byte is the number of entries, each entry a key code
; followed by the address of its handler.
L2560:  LD   B,(HL)       ; The number of entries.
        INC  HL
        CALL L1BF0        ; Read a key.
L2565:  CP   (HL)         ; This entry?
        INC  HL
        JR   Z,L2570      ; Jump if so.
        INC  HL
        INC  HL           ; Step past its address.
        DJNZ L2565        ; Try the next entry.
        JP   L22C0        ; No entry: show the menu again.
L2570:  LD   E,(HL)
        INC  HL
        LD   D,(HL)       ; DE=the handler.
        EX   DE,HL
        JP   (HL)         ; Run it.
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Highlight Menu Option
; ---------------------
; Prints the option texts of the main menu, from $275E (ROM 0), with the selected one highlighted.
L2640:  LD   HL,L275E     ; The "Tape Loader" text.
        CALL L1A20        ; Print the options.
        LD   HL,L2769     ; The "128 BASIC" text.
        CALL L1B10        ; Move the highlight.
        LD   HL,L2772     ; The "Calculator" text.
        JP   L1B10        ; Move the highlight.
        DEFS 242          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Main Menu Jump Table
; --------------------
; Used by the main menu handler at $22C0 (ROM 0).
L2744:  DEFB $05          ; Number of entries.
        DEFB $00
        DEFW L281C        ; Tape Loader option handler.
        DEFB $01
        DEFW L2831        ; 128 BASIC option handler.
        DEFB $02
        DEFW L2851        ; Calculator option handler.
        DEFB $03
        DEFW L2862        ; 48 BASIC option handler.
        DEFB $04
        DEFW L2816        ; Tape Tester option handler.

; --------------
; Main Menu Text
; --------------
; Each text ends with its last character plus $80.
L2754:  DEFB $06          ; Number of entries.
        DEFM "128     "
        DEFB $FF
L275E:  DEFM "Tape Loade"
        DEFB 'r'+$80
L2769:  DEFM "128 BASI"
        DEFB 'C'+$80
L2772:  DEFM "Calculato"
        DEFB 'r'+$80
        DEFM "48 BASI"
        DEFB 'C'+$80
L2784:  DEFM "Tape Teste"
        DEFB 'r'+$80
        DEFB ' '+$80      ; $A0. End marker.

; ----------------
; Print Menu Title
; ----------------
; Entry: HL points at a menu text table such as $27A0 (ROM 0).
; Exit: B=the number of entries.
L2790:  PUSH HL           ; Save the menu pointer.
        LD   HL,L2754     ; The main menu texts.
        CALL L1950        ; Clear the lower screen.
        POP  HL
        LD   A,(HL)       ; The number of entries.
        INC  HL
        LD   B,A
        CALL L1A20        ; Print the title.
        XOR  A
        RET

; --------------
; Edit Menu Text
; --------------
L27A0:  DEFB $06          ; Number of entries.
        DEFM "Options "
        DEFB $FF
        DEFM "128 BASI"
        DEFB 'C'+$80
        DEFM "Renumbe"
        DEFB 'r'+$80
        DEFM "Scree"
        DEFB 'n'+$80
        DEFM "Prin"
        DEFB 't'+$80
        DEFM "Exi"
        DEFB 't'+$80
        DEFB ' '+$80      ; $A0. End marker.

; --------------
; Show Edit Menu
; --------------
; Entered from the edit menu handler at $23A0 (ROM 0).
L27CB:  LD   HL,L27A0     ; The edit menu texts.
        XOR  A
        JP   L2790        ; Print the title.

; --------------------
; Calculator Menu Text
; --------------------
L27D2:  DEFB $03          ; Number of entries.
        DEFM "Options "
        DEFB $FF
        DEFM "Calculato"
        DEFB 'r'+$80
        DEFM "Exi"
        DEFB 't'+$80
        DEFB ' '+$80      ; $A0. End marker.

; -------------------
; Tape Loader Message
; -------------------
; Printed on the lower screen by the routine at $2811 (ROM 0) when the Tape Loader option runs:
; "To cancel - press BREAK twice".
L27EB:  DEFB $16,$01,$00  ; AT 1,0;
        DEFB $10,$00      ; INK 0;
        DEFB $11,$07      ; PAPER 7;
        DEFB $13,$00      ; BRIGHT 0;
        DEFM "To cancel - press BREAK twic"
        DEFB 'e'+$80

; -------------------------
; Print Tape Loader Message
; -------------------------
; Prints the message at $27EB (ROM 0).
L2811:  LD   HL,L27EB     ; The message.
        RST  $10          ; Print it.
        RET

; --------------------------
; Tape Tester Option Handler
; --------------------------
; Prints the banner via $3855 (ROM 0) and runs the Tape Tester at $3BE9 (ROM 0).
L2816:  CALL L3855        ; Print the Tape Tester banner.
        JP   L3BE9        ; Run the Tape Tester.

; ====================
; MENU OPTION HANDLERS
; ====================

; --------------------------
; Tape Loader Option Handler
; --------------------------
; Shows the message at $27EB (ROM 0) and loads the first program from tape via $0556 (ROM 1).
L281C:  CALL L1950        ; Clear the lower screen.
        CALL L2811        ; Print the Tape Loader message.
        LD   HL,$0556     ; LOAD "" in ROM 1.
        RST  $28          ; Call it.
        DEFW $0556
        CALL L1950        ; Clear the lower screen.
        JP   L22C0        ; Back to the main menu.
        DEFS 3            ; Remaining bytes of the routine, not itemised in this sample.

; ------------------------
; 128 BASIC Option Handler
; ------------------------
; Clears the program area and enters the editor.
L2831:  CALL L0D90        ; Initialise the editor.
        LD   HL,L27A0     ; The edit menu.
        CALL L2790        ; Print its title.
        JP   L0E60        ; Enter the key handler.
        DEFS 20           ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Calculator Option Handler
; -------------------------
; Enters the calculator at $2100 (ROM 0).
L2851:  CALL L0D90        ; Initialise the editor.
        LD   HL,L27D2     ; The calculator menu.
        CALL L2790        ; Print its title.
        JP   L2100        ; Enter the calculator.
        DEFS 5            ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; 48 BASIC Option Handler
; -----------------------
; Pages in ROM 1 for good and locks the paging.
L2862:  DI
        LD   A,$30        ; ROM 1, paging locked.
        LD   BC,$7FFD
        OUT  (C),A
        JP   L0000        ; Never reached: ROM 1 is now in place.
        DEFS 24           ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Enter 48 BASIC Mode
; -------------------
; Shared by the SPECTRUM command at $0C50 (ROM 0).
L2885:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3C63        ; Work on the bank.
        RET
        DEFS 102          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; NEW Command
; -----------
; Clears the program and the variables.
L2900:  CALL L3640        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1950        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L22C0        ; Continue in the shared routine.
        DEFS 175          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Syntax Tables
; -------------
; The handlers of the new commands, in token order.
L29C0:  DEFW L08B0        ; First handler.
        DEFW L0C50        ; Second handler.
        DEFW L2B80        ; Third handler.
        DEFB $00          ; End marker.
        DEFS 233          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Command Tokens
; --------------
; The keywords that 128 BASIC adds.
L2AB0:  DEFM "SPECTRU"
        DEFB 'M'+$80
        DEFM "PLA"
        DEFB 'Y'+$80
        DEFM "LOAD"
        DEFB '!'+$80
        DEFM "SAVE"
        DEFB '!'+$80
        DEFM "CAT"
        DEFB '!'+$80
        DEFM "ERASE"
        DEFB '!'+$80
        DEFS 176          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; LIST Command
; ------------
; Lists the program from the line given.
L2B80:  PUSH DE           ; Save the line number.
        LD   HL,L3480     ; Start of the search.
L2B84:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L2B8C     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L2B84        ; Try the next one.
L2B8C:  POP  DE
        JP   NZ,L1330     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 223          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; LLIST Command
; -------------
; Lists the program to the printer.
L2C70:  CALL L2D50        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1330        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L2B80        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Printer Output
; --------------
; Sends the character in A to the printer through the RS232 port.
L2D50:  LD   HL,L0400     ; Point at the table.
        LD   B,$09        ; The number of entries.
L2D55:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L2D55        ; Repeat for every entry.
        RET
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; COPY Command
; ------------
; Copies the screen to the printer.
L2E40:  LD   B,$C0        ; The number of passes.
L2E42:  PUSH BC           ; Save the counter.
        CALL L2F20        ; Do one pass.
        POP  BC
        DJNZ L2E42        ; Repeat.
        JP   L22C0        ; Finish off.
        DEFS 212          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Screen Dump
; -----------
; Prints one pixel row of the screen.
L2F20:  LD   B,$20        ; The number of passes.
L2F22:  PUSH BC           ; Save the counter.
        CALL L2D50        ; Do one pass.
        POP  BC
        DJNZ L2F22        ; Repeat.
        JP   L2D50        ; Finish off.
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Expression Hooks
; ----------------
; The ROM 1 entry points used by the calculator, reached through RST $28.
L3010:  DEFW L30F0        ; First handler.
        DEFW L21E0        ; Second handler.
        DEFW L31E0        ; Third handler.
        DEFB $00          ; End marker.
        DEFS 217          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Variables Search
; ----------------
; Finds the variable whose name is at CH_ADD.
L30F0:  PUSH DE           ; Save the line number.
        LD   HL,L3560     ; Start of the search.
L30F4:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L30FC     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L30F4        ; Try the next one.
L30FC:  POP  DE
        JP   NZ,L3720     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 223          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; INPUT Command
; -------------
; Reads values from the keyboard into variables.
L31E0:  CP   $0D          ; ENTER?
        JP   Z,L30F0      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L1010      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L31F3      ; Ignore it if so.
        CALL L0F30        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L31F3:  AND  A            ; Signal no key was handled.
        RET
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; RUN Command
; -----------
; Clears the variables and runs the program.
L32C0:  CALL L3560        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1950        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L33A0        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; GO TO Command
; -------------
; Jumps to the line given.
L33A0:  PUSH DE           ; Save the line number.
        LD   HL,L3480     ; Start of the search.
L33A4:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L33AC     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L33A4        ; Try the next one.
L33AC:  POP  DE
        JP   NZ,L3720     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Line Number Search
; ------------------
; Entry: DE=the line number.
; Exit: HL points at the line, or at the next one.
L3480:  PUSH DE           ; Save the line number.
        LD   HL,L3560     ; Start of the search.
L3484:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L348C     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L3484        ; Try the next one.
L348C:  POP  DE
        JP   NZ,L3720     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------
; Make Room
; ---------
; Entered from RST $30 at $0030 (ROM 0).
L3560:  CALL L3640        ; Check the parameter.
        JR   NC,L3567     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $03
L3567:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Memory Check
; ------------
; Checks that BC bytes are free below RAMTOP.
L3640:  CALL L3720        ; Check the parameter.
        JR   NC,L3647     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $03
L3647:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Out of Memory
; -------------
; Produces the report "4 Out of memory".
L3720:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F40     ; Point at the text.
L3724:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L3731      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L3724        ; Back for the next one.
L3731:  POP  HL           ; Restore the pointer.
        RET
        DEFS 141          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Paging Helpers
; --------------
; Small routines used by the RAM disk routines from $057D-$0810 (ROM 0).
L37C0:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3C63        ; Work on the bank.
        RET
        DEFS 43           ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Return to the Editor
; --------------------
; Entry: A=$00 to return to the main menu, anything else to return to the editor.
; Used after every command that ends in one of the ranges $281C-$3854 (ROM 0).
L3800:  AND  A            ; Back to the main menu?
        JR   Z,L3852      ; Jump if so.
        CALL L1950        ; Clear the lower screen.
        LD   HL,L27A0     ; The edit menu.
        CALL L2790        ; Print its title.
        JP   L0E60        ; Enter the key handler.
        DEFS 67           ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Return to the Main Menu
; -----------------------
L3852:  JP   L22C0        ; Show the main menu.

; ------------------------
; Print Tape Tester Banner
; ------------------------
; Prints the black banner of the Tape Tester, whose text is at $3C49 (ROM 0).
L3855:  LD   HL,L3C49     ; The banner text.
        RST  $10          ; Print it.
        RET

; ------------------
; Print Banner Strip
; ------------------
; Prints the black strip across the top of the menus.
L385A:  LD   HL,L39E0     ; Point at the table.
        LD   B,$20        ; The number of entries.
L385F:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L385F        ; Repeat for every entry.
        RET
        DEFS 186          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Draw Menu Box
; -------------
; Draws the frame round a menu.
L3920:  LD   B,$0E        ; The number of passes.
L3922:  PUSH BC           ; Save the counter.
        CALL L3B60        ; Do one pass.
        POP  BC
        DJNZ L3922        ; Repeat.
        JP   L385A        ; Finish off.
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Rainbow Stripes
; ---------------
; Prints the coloured stripes at the right of a menu title.
L39E0:  DEFB $02,$16,$34,$25,$FF ; Red, yellow, green, cyan; end marker.
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Menu Text Colours
; -----------------
; Sets the colours used by the menu texts.
L3AA0:  LD   HL,L39E0     ; Point at the table.
        LD   B,$04        ; The number of entries.
L3AA5:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L3AA5        ; Repeat for every entry.
        RET
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Clear Menu Area
; ---------------
; Clears the screen area behind a menu.
L3B60:  LD   HL,L3AA0     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L3920        ; Continue.
        DEFS 123          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Tape Tester Routine
; -------------------
; Shows the level of the signal from the tape player as a bar in the border, until SPACE is pressed.
; Entered from the option handler at $2816 (ROM 0).
L3BE9:  DI                ; No interrupts while timing.
        LD   HL,L3C49     ; The instructions.
        CALL L1CD0        ; Print them.
L3BF0:  LD   BC,$7FFE     ; The keyboard row with SPACE.
        IN   A,(C)
        RRA               ; SPACE pressed?
        JR   NC,L3C38     ; Finish if so.
        LD   B,$40        ; The number of samples.
        LD   D,$00        ; The count of high samples.
L3BFC:  IN   A,($FE)      ; Read the EAR bit.
        AND  $40
        JR   Z,L3C03
        INC  D            ; Count a high sample.
L3C03:  DJNZ L3BFC        ; Next sample.
        LD   A,D
        RRCA
        RRCA
        RRCA
        AND  $07          ; The level, 0 to 7.
        OUT  ($FE),A      ; Show it in the border.
        LD   HL,$5AE0     ; The last attribute row.
        LD   B,$20
L3C12:  LD   (HL),$00     ; Clear the bar.
        INC  HL
        DJNZ L3C12
        LD   HL,$5AE0
        LD   B,D
        INC  B
L3C1C:  LD   (HL),$38     ; Draw the bar.
        INC  HL
        DJNZ L3C1C
        JR   L3BF0        ; Next reading.
        DEFB $00,$08,$10,$18,$20,$28,$30,$38 ; Bar colours by level.
        DEFB $38,$30,$28,$20,$18,$10,$08,$00 ; Fading bar colours.
        DEFB $00,$00,$00,$00,$00 ; Spare.
L3C38:  EI                ; Interrupts back on.
        XOR  A
        OUT  ($FE),A      ; Black border.
        LD   HL,$5AE0
        LD   B,$20
L3C41:  LD   (HL),$38     ; Restore the attribute row.
        INC  HL
        DJNZ L3C41
        JP   L22C0        ; Back to the main menu.
L3C49:  DEFM "Tape Tester  SPACE to exi"
        DEFB 't'+$80

; -------------
; Paging Switch
; -------------
; Swaps the RAM bank at $C000 with the one named in A.
L3C63:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3FEF        ; Work on the bank.
        RET
        DEFS 168          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Copy Bank Block
; ---------------
; Copies a block between two RAM banks through the workspace.
L3D20:  LD   HL,L3C63     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L3FEF        ; Continue.
        DEFS 178          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Font Lookup
; -----------
; Finds the bitmap of the character in A.
L3DE0:  LD   BC,$FFFD     ; The sound chip register port.
        OUT  (C),A        ; Select the register.
        LD   B,$BF        ; The sound chip data port.
        OUT  (C),E        ; Write the value.
        LD   HL,L3F50     ; The note table.
        ADD  A,A
        LD   E,A
        LD   D,$00
        ADD  HL,DE        ; Index it.
        RET
        DEFS 174          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Print Token
; -----------
; Prints the keyword whose token is in A, from the table at $2AB0 (ROM 0).
L3EA0:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L2AB0     ; Point at the text.
L3EA4:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L3EB1      ; Jump ahead if so.
        PUSH HL
        CALL L1CD0        ; Print the character.
        POP  HL
        JR   L3EA4        ; Back for the next one.
L3EB1:  POP  HL           ; Restore the pointer.
        RET
        DEFS 157          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Print Number
; ------------
; Prints the number in HL in decimal.
L3F50:  LD   B,$05        ; The number of passes.
L3F52:  PUSH BC           ; Save the counter.
        CALL L0010        ; Do one pass.
        POP  BC
        DJNZ L3F52        ; Repeat.
        JP   L3FEF        ; Finish off.
        DEFS 147          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Reset Paging
; ------------
; Selects ROM 0, RAM bank 0 and the normal screen, and turns the border black.
L3FEF:  DI
        XOR  A
        OUT  ($FE),A      ; Black border.
        LD   BC,$7FFD     ; The paging port.
        LD   A,$10
        OUT  (C),A        ; Page in the defaults.
        EI
        RET
        DEFB $FF
        DEFB $FF
        DEFB $FF

; ------------------
; Last Byte of ROM 0
; ------------------
; Holds the value $01, which a paging test can read to tell ROM 0 from ROM 1.
;
; [Never called by this ROM]
L3FFF:  DEFB $01

; =============
; SCREEN MEMORY
; =============
;
; The two screens available on the Spectrum 128, the normal screen in RAM bank 5 ($4000-$5AFF) and the shadow screen in
; RAM bank 7 ($C000-$DAFF). Bit 3 of the paging port at $7FFD selects which of them the display shows; the
; editor at $0D90 (ROM 0) keeps its buffers in RAM bank 7 next to the shadow screen.
;
; The menus drawn by $1A20 (ROM 0) always use the normal screen. The Tape Loader message at $27EB (ROM 0) reads
; "To cancel - press BREAK twice" and the routines $281C-$3854 (ROM 0) handle the menu options.
;
; RAM banks
; ---------
; Bank 0        $C000-$FFFF when the system starts.
; Banks 1 3 4 6 The RAM disk.
; Bank 2        Always at $8000-$BFFF.
; Bank 5        Always at $4000-$7FFF; the normal screen.
; Bank 7        The shadow screen and the editor workspace.

