; ********************************************
; *** FRENCH SPECTRUM +2 ROM 0 DISASSEMBLY ***
; ********************************************

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
; This file was automatically derived from the Spectrum 128 ROM 0 disassembly, using a conversion utility created by Brannock.
; Any enhancements or corrections should only be made to the Spectrum 128 ROM 0 disassembly and then the utility used to automatically
; regenerate the French Spectrum +2 listing.

; Notes
; -----
; ROM 0 holds the 128 editor, the menus, the RAM disk, the PLAY command and the RS232 routines. ROM 1 holds
; the 48 BASIC interpreter; routines there are written as in "$0556 (ROM 1)" and are never relocated.
; A reference to an address of this ROM is written "$xxxx (ROM 0)", as in $2763 (ROM 0) for the main menu
; jump table, or as a range such as $2857-$388F (ROM 0). Addresses without the marker, such as the screen
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
L0010:  JP   L1CEF        ; Print it.
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
L0030:  JP   L359B        ; Make the room.
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
        CALL L0B5F        ; Service the sound chip.
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
        JP   L059C        ; Continue.
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
        CALL L1CEF        ; Insert the character.
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
        LD   HL,L1F5F     ; Point at the text.
L0394:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L03A1      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
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
        CALL L1CEF        ; Print it.
        LD   A,$07
        OUT  ($FE),A      ; White border.
        JP   L059C        ; Continue the start-up.
        DEFS 52           ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Copyright Message
; -----------------
; Printed by the routine at $0520 (ROM 0).
L0561:  DEFB $7F ; (c)
        DEFM "1986, "
        DEFB $7F ; (c)
        DEFM "1982 Amstrad Consumer" ; Copyright / Report 'p'.
        DEFB $0D
        DEFM "              Electronics pl"
        DEFB 'c'+$80

; ----------------
; Start-up Routine
; ----------------
; Entered once the copyright message is shown; initialises the RAM disk.
L059C:  CALL L0DAF        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1CEF        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L22DF        ; Continue in the shared routine.
        DEFS 72           ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; RAM Disk Catalogue
; ------------------
; Lists the files held in the RAM disk of banks 1, 3, 4 and 6.
L05F5:  LD   IX,$5B66     ; Point at the RAM disk variables.
        LD   A,(IX+$00)   ; Fetch the flags.
        BIT  3,A          ; Is the catalogue open?
        JP   Z,L075F      ; Jump if not.
        LD   E,(IX+$01)
        LD   D,(IX+$02)   ; DE=the catalogue entry.
        CALL L134F        ; Process it.
        RES  3,(IX+$00)   ; Close the catalogue.
        RET
        DEFS 144          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Save to RAM Disk
; ----------------
; Entry: IX points at the file header.
L069F:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3CDC        ; Work on the bank.
        RET
        DEFS 171          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Load from RAM Disk
; ------------------
; Entry: IX points at the file header.
; Exit: Carry set when the file was found.
L075F:  LD   IX,$5B66     ; Point at the RAM disk variables.
        LD   A,(IX+$00)   ; Fetch the flags.
        BIT  3,A          ; Is the catalogue open?
        JP   Z,L082F      ; Jump if not.
        LD   E,(IX+$01)
        LD   D,(IX+$02)   ; DE=the catalogue entry.
        CALL L3CDC        ; Process it.
        RES  3,(IX+$00)   ; Close the catalogue.
        RET
        DEFS 182          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Erase from RAM Disk
; -------------------
; Removes a file and closes the gap in the catalogue.
L082F:  LD   HL,L3C1F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L05F5        ; Continue.
        DEFS 146          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; PLAY Command
; ------------
; Handles PLAY with up to eight strings.
; Called from the syntax table at $29FB (ROM 0).
L08CF:  LD   B,$08        ; The number of passes.
L08D1:  PUSH BC           ; Save the counter.
        CALL L09BF        ; Do one pass.
        POP  BC
        DJNZ L08D1        ; Repeat.
        JP   L0B5F        ; Finish off.
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; PLAY - Parse String
; -------------------
; Reads the next command of a PLAY string.
L09BF:  CALL L0A9F        ; Check the parameter.
        JR   NC,L09C6     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $1B
L09C6:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; PLAY - Note Table
; -----------------
; Periods of the twelve notes of the lowest octave.
L0A9F:  DEFW $0D10,$0C55  ; C, C#
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
L0B5F:  LD   BC,$FFFD     ; The sound chip register port.
        OUT  (C),A        ; Select the register.
        LD   B,$BF        ; The sound chip data port.
        OUT  (C),E        ; Write the value.
        LD   HL,L0A9F     ; The note table.
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
L0BDF:  LD   HL,L0A9F     ; Point at the table.
        LD   B,$0C        ; The number of entries.
L0BE4:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L0BE4        ; Repeat for every entry.
        RET
        DEFS 132          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; SPECTRUM Command
; ----------------
; Leaves 128 BASIC for 48 BASIC through the option handler at $289D (ROM 0).
L0C6F:  CALL L196F        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L367B        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L289D        ; Continue in the shared routine.
        DEFS 127          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; New Error Reports
; -----------------
; Prints one of the reports that ROM 0 adds to those of ROM 1.
L0CFF:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F5F     ; Point at the text.
L0D03:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L0D10      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L0D03        ; Back for the next one.
L0D10:  POP  HL           ; Restore the pointer.
        RET
        DEFS 157          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Editor - Initialise
; -------------------
; Sets up the editing buffers in RAM bank 7.
L0DAF:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L127F        ; Work on the bank.
        RET
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Editor - Key Handler
; --------------------
; Entry: A=the key code.
L0E7F:  CP   $0D          ; ENTER?
        JP   Z,L151F      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L102F      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L0E92      ; Ignore it if so.
        CALL L0F4F        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L0E92:  AND  A            ; Signal no key was handled.
        RET
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Editor - Insert Character
; -------------------------
; Entry: A=the character to insert at the cursor.
L0F4F:  LD   HL,L127F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L134F        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Editor - Delete Character
; -------------------------
; Removes the character to the left of the cursor.
L102F:  LD   HL,L127F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L134F        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Editor - Cursor Up
; ------------------
; Moves the cursor up one row, scrolling when needed.
L110F:  LD   B,$01        ; The number of passes.
L1111:  PUSH BC           ; Save the counter.
        CALL L189F        ; Do one pass.
        POP  BC
        DJNZ L1111        ; Repeat.
        JP   L134F        ; Finish off.
        DEFS 164          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Editor - Cursor Down
; --------------------
; Moves the cursor down one row, scrolling when needed.
L11BF:  LD   B,$01        ; The number of passes.
L11C1:  PUSH BC           ; Save the counter.
        CALL L17BF        ; Do one pass.
        POP  BC
        DJNZ L11C1        ; Repeat.
        JP   L134F        ; Finish off.
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------------
; Editor - Screen Line Buffer
; ---------------------------
; Copies a screen row into the line buffer.
L127F:  LD   HL,L3D9C     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L134F        ; Continue.
        DEFS 194          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Editor - Print Line
; -------------------
; Prints the BASIC line whose address is in HL.
L134F:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L143F     ; Point at the text.
L1353:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $0D          ; End of the text?
        JR   Z,L1360      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L1353        ; Back for the next one.
L1360:  POP  HL           ; Restore the pointer.
        RET
        DEFS 221          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------------
; Editor - Expand Tokens
; ----------------------
; Writes each keyword token out in full, from the table at $2AEB (ROM 0).
L143F:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L2AEB     ; Point at the text.
L1443:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L1450      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L1443        ; Back for the next one.
L1450:  POP  HL           ; Restore the pointer.
        RET
        DEFS 205          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Line Syntax Check
; -----------------
; Checks an edited line before it is entered.
L151F:  CALL L29FB        ; Check the parameter.
        JR   NC,L1526     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $0B
L1526:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 225          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Renumber - Main Routine
; -----------------------
; Renumbers the program in steps of ten.
; Called by the edit menu handler at $23BF (ROM 0).
L160F:  LD   B,$0A        ; The number of passes.
L1611:  PUSH BC           ; Save the counter.
        CALL L16DF        ; Do one pass.
        POP  BC
        DJNZ L1611        ; Repeat.
        JP   L134F        ; Finish off.
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------------------
; Renumber - Update References
; ----------------------------
; Changes the line numbers after GO TO, GO SUB and RESTORE.
L16DF:  PUSH DE           ; Save the line number.
        LD   HL,L34BB     ; Start of the search.
L16E3:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L16EB     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L16E3        ; Try the next one.
L16EB:  POP  DE
        JP   NZ,L375B     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------
; Scroll Up
; ---------
; Scrolls the editing area up one row.
L17BF:  LD   HL,L127F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L196F        ; Continue.
        DEFS 210          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Scroll Down
; -----------
; Scrolls the editing area down one row.
L189F:  LD   HL,L127F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L196F        ; Continue.
        DEFS 194          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Clear Lower Screen
; ------------------
; Clears the two rows at the foot of the screen.
L196F:  LD   B,$40        ; The number of passes.
L1971:  PUSH BC           ; Save the counter.
        CALL L1CEF        ; Do one pass.
        POP  BC
        DJNZ L1971        ; Repeat.
        JP   L1DBF        ; Finish off.
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------
; Print Menu
; ----------
; Prints the menu whose text table is at HL, as the main menu at $2770 (ROM 0).
L1A3F:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L3890     ; Point at the text.
L1A43:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L1A50      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L1A43        ; Back for the next one.
L1A50:  POP  HL           ; Restore the pointer.
        RET
        DEFS 221          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Menu - Move Highlight
; ---------------------
; Entry: A=$01 to move down, $FF to move up.
L1B2F:  CALL L3AD6        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1DBF        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L3956        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Menu - Read Key
; ---------------
; Waits for a key and returns it in A.
L1C0F:  CP   $0D          ; ENTER?
        JP   Z,L0E7F      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L22DF      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L1C22      ; Ignore it if so.
        CALL L0321        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L1C22:  AND  A            ; Signal no key was handled.
        RET
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Print Character
; ---------------
; Prints the character in A through channel S.
; Also entered from RST $10 at $0010 (ROM 0).
L1CEF:  CALL L3D9C        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L1DBF        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L3E5C        ; Continue in the shared routine.
        DEFS 191          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Colour Attributes
; -----------------
; Sets the permanent colours from ATTR_P.
L1DBF:  LD   HL,L3AD6     ; Point at the table.
        LD   B,$04        ; The number of entries.
L1DC4:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L1DC4        ; Repeat for every entry.
        RET
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; ----------
; Set Border
; ----------
; Entry: A=the border colour.
L1E8F:  LD   HL,L3AD6     ; Point at the table.
        LD   B,$01        ; The number of entries.
L1E94:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L1E94        ; Repeat for every entry.
        RET
        DEFS 196          ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Error Message Table
; -------------------
; The texts of the new error reports.
L1F5F:  DEFM "Program finishe"
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
L204F:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F5F     ; Point at the text.
L2053:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L2060      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L2053        ; Back for the next one.
L2060:  POP  HL           ; Restore the pointer.
        RET
        DEFS 189          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Calculator Mode Entry
; ---------------------
; Enters the calculator from the option handler at $288C (ROM 0).
L211F:  CALL L0DAF        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L27EE        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L21FF        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------------
; Calculator - Evaluate Line
; --------------------------
; Evaluates the expression on the edit line.
L21FF:  CALL L304B        ; Check the parameter.
        JR   NC,L2206     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $19
L2206:  LD   HL,($5B5E)   ; Fetch the current address.
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
; Shows the main menu and runs the option chosen. The menu texts are at $2770 (ROM 0) and the jump
; table at $2763 (ROM 0).
L22DF:  LD   HL,L2770     ; The main menu texts.
        CALL L1A3F        ; Print the menu.
        LD   HL,L2763     ; The main menu jump table.
        JP   L257F        ; Wait for a selection and run it.
        DEFS 212          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Edit Menu Handler
; -----------------
; The texts are at $27B2 (ROM 0).
L23BF:  LD   HL,L27B2     ; The edit menu texts.
        CALL L1A3F        ; Print the menu.
        CALL L1C0F        ; Read a key.
        CP   $04          ; Renumber?
        JP   Z,L160F      ; Renumber the program.
        JP   L27E7        ; Otherwise back to the menu loop.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Calculator Menu Handler
; -----------------------
; The texts are at $27EE (ROM 0).
L249F:  LD   HL,L27EE     ; The calculator menu texts.
        CALL L1A3F        ; Print the menu.
        CALL L1C0F        ; Read a key.
        CP   $02          ; Exit?
        JP   Z,L22DF      ; Back to the main menu.
        JP   L211F        ; Back to the calculator.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Menu Dispatcher
; ---------------
; Entry: HL points at a jump table whose first byte is the number of entries, each entry a key code
; followed by the address of its handler.
L257F:  LD   B,(HL)       ; The number of entries.
        INC  HL
        CALL L1C0F        ; Read a key.
L2584:  CP   (HL)         ; This entry?
        INC  HL
        JR   Z,L258F      ; Jump if so.
        INC  HL
        INC  HL           ; Step past its address.
        DJNZ L2584        ; Try the next entry.
        JP   L22DF        ; No entry: show the menu again.
L258F:  LD   E,(HL)
        INC  HL
        LD   D,(HL)       ; DE=the handler.
        EX   DE,HL
        JP   (HL)         ; Run it.
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------------
; Highlight Menu Option
; ---------------------
; Prints the option texts of the main menu, from $277A (ROM 0), with the selected one highlighted.
L265F:  LD   HL,L277A     ; The "Tape Loader" text.
        CALL L1A3F        ; Print the options.
        LD   HL,L2782     ; The "128 BASIC" text.
        CALL L1B2F        ; Move the highlight.
        LD   HL,L278C     ; The "Calculator" text.
        JP   L1B2F        ; Move the highlight.
        DEFS 242          ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Main Menu Jump Table
; --------------------
; Used by the main menu handler at $22DF (ROM 0).
L2763:  DEFB $04          ; Number of entries.
        DEFB $00
        DEFW L2857        ; Tape Loader option handler.
        DEFB $01
        DEFW L286C        ; 128 BASIC option handler.
        DEFB $02
        DEFW L288C        ; Calculator option handler.
        DEFB $03
        DEFW L289D        ; 48 BASIC option handler.

; --------------
; Main Menu Text
; --------------
; Each text ends with its last character plus $80.
L2770:  DEFB $05          ; Number of entries.
        DEFM "128     "
        DEFB $FF
L277A:  DEFM "Cassett"
        DEFB 'e'+$80
L2782:  DEFM "BASIC 128"
        DEFB 'K'+$80
L278C:  DEFM "Calculatric"
        DEFB 'e'+$80
        DEFM "BASIC 48"
        DEFB 'K'+$80

        DEFB ' '+$80      ; $A0. End marker.

; ----------------
; Print Menu Title
; ----------------
; Entry: HL points at a menu text table such as $27B2 (ROM 0).
; Exit: B=the number of entries.
L27A2:  PUSH HL           ; Save the menu pointer.
        LD   HL,L2770     ; The main menu texts.
        CALL L196F        ; Clear the lower screen.
        POP  HL
        LD   A,(HL)       ; The number of entries.
        INC  HL
        LD   B,A
        CALL L1A3F        ; Print the title.
        XOR  A
        RET

; --------------
; Edit Menu Text
; --------------
L27B2:  DEFB $06          ; Number of entries.
        DEFM "Options "
        DEFB $FF
        DEFM "BASIC 128"
        DEFB 'K'+$80
        DEFM "Renumerote"
        DEFB 'r'+$80
        DEFM "Ecra"
        DEFB 'n'+$80
        DEFM "Impressio"
        DEFB 'n'+$80
        DEFM "Sorti"
        DEFB 'e'+$80

        DEFB ' '+$80      ; $A0. End marker.

; --------------
; Show Edit Menu
; --------------
; Entered from the edit menu handler at $23BF (ROM 0).
L27E7:  LD   HL,L27B2     ; The edit menu texts.
        XOR  A
        JP   L27A2        ; Print the title.

; --------------------
; Calculator Menu Text
; --------------------
L27EE:  DEFB $03          ; Number of entries.
        DEFM "Options "
        DEFB $FF
        DEFM "Calculatric"
        DEFB 'e'+$80
        DEFM "Sorti"
        DEFB 'e'+$80

        DEFB ' '+$80      ; $A0. End marker.

; -------------------
; Tape Loader Message
; -------------------
; Printed on the lower screen by the routine at $2852 (ROM 0) when the Tape Loader option runs:
; "Insert tape and press PLAY. To cancel - press BREAK twice".
L280B:  DEFB $16,$00,$00  ; AT 0,0;
        DEFB $10,$00      ; INK 0;
        DEFB $11,$07      ; PAPER 7;
        DEFB $13,$00      ; BRIGHT 1;
        DEFM "Mettre la K7, appuyer sur PLAY"
        DEFB $0D
        DEFM "Annulation: Touche BREAK 2 foi"
        DEFB 's'+$80

; -------------------------
; Print Tape Loader Message
; -------------------------
; Prints the message at $280B (ROM 0).
L2852:  LD   HL,L280B     ; The message.
        RST  $10          ; Print it.
        RET

; ====================
; MENU OPTION HANDLERS
; ====================

; --------------------------
; Tape Loader Option Handler
; --------------------------
; Shows the message at $280B (ROM 0) and loads the first program from tape via $0556 (ROM 1).
L2857:  CALL L196F        ; Clear the lower screen.
        CALL L2852        ; Print the Tape Loader message.
        LD   HL,$0556     ; LOAD "" in ROM 1.
        RST  $28          ; Call it.
        DEFW $0556
        CALL L196F        ; Clear the lower screen.
        JP   L22DF        ; Back to the main menu.
        DEFS 3            ; Remaining bytes of the routine, not itemised in this sample.

; ------------------------
; 128 BASIC Option Handler
; ------------------------
; Clears the program area and enters the editor.
L286C:  CALL L0DAF        ; Initialise the editor.
        LD   HL,L27B2     ; The edit menu.
        CALL L27A2        ; Print its title.
        JP   L0E7F        ; Enter the key handler.
        DEFS 20           ; Remaining bytes of the routine, not itemised in this sample.

; -------------------------
; Calculator Option Handler
; -------------------------
; Enters the calculator at $211F (ROM 0).
L288C:  CALL L0DAF        ; Initialise the editor.
        LD   HL,L27EE     ; The calculator menu.
        CALL L27A2        ; Print its title.
        JP   L211F        ; Enter the calculator.
        DEFS 5            ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; 48 BASIC Option Handler
; -----------------------
; Pages in ROM 1 for good and locks the paging.
L289D:  DI
        LD   A,$30        ; ROM 1, paging locked.
        LD   BC,$7FFD
        OUT  (C),A
        JP   L0000        ; Never reached: ROM 1 is now in place.
        DEFS 24           ; Remaining bytes of the routine, not itemised in this sample.

; -------------------
; Enter 48 BASIC Mode
; -------------------
; Shared by the SPECTRUM command at $0C6F (ROM 0).
L28C0:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3C1F        ; Work on the bank.
        RET
        DEFS 102          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; NEW Command
; -----------
; Clears the program and the variables.
L293B:  CALL L367B        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L196F        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L22DF        ; Continue in the shared routine.
        DEFS 175          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Syntax Tables
; -------------
; The handlers of the new commands, in token order.
L29FB:  DEFW L08CF        ; First handler.
        DEFW L0C6F        ; Second handler.
        DEFW L2BBB        ; Third handler.
        DEFB $00          ; End marker.
        DEFS 233          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Command Tokens
; --------------
; The keywords that 128 BASIC adds.
L2AEB:  DEFM "SPECTRU"
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
L2BBB:  PUSH DE           ; Save the line number.
        LD   HL,L34BB     ; Start of the search.
L2BBF:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L2BC7     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L2BBF        ; Try the next one.
L2BC7:  POP  DE
        JP   NZ,L134F     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 223          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; LLIST Command
; -------------
; Lists the program to the printer.
L2CAB:  CALL L2D8B        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L134F        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L2BBB        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Printer Output
; --------------
; Sends the character in A to the printer through the RS232 port.
L2D8B:  LD   HL,L0400     ; Point at the table.
        LD   B,$09        ; The number of entries.
L2D90:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L2D90        ; Repeat for every entry.
        RET
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; COPY Command
; ------------
; Copies the screen to the printer.
L2E7B:  LD   B,$C0        ; The number of passes.
L2E7D:  PUSH BC           ; Save the counter.
        CALL L2F5B        ; Do one pass.
        POP  BC
        DJNZ L2E7D        ; Repeat.
        JP   L22DF        ; Finish off.
        DEFS 212          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Screen Dump
; -----------
; Prints one pixel row of the screen.
L2F5B:  LD   B,$20        ; The number of passes.
L2F5D:  PUSH BC           ; Save the counter.
        CALL L2D8B        ; Do one pass.
        POP  BC
        DJNZ L2F5D        ; Repeat.
        JP   L2D8B        ; Finish off.
        DEFS 228          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Expression Hooks
; ----------------
; The ROM 1 entry points used by the calculator, reached through RST $28.
L304B:  DEFW L312B        ; First handler.
        DEFW L21FF        ; Second handler.
        DEFW L321B        ; Third handler.
        DEFB $00          ; End marker.
        DEFS 217          ; Remaining bytes of the routine, not itemised in this sample.

; ----------------
; Variables Search
; ----------------
; Finds the variable whose name is at CH_ADD.
L312B:  PUSH DE           ; Save the line number.
        LD   HL,L359B     ; Start of the search.
L312F:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L3137     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L312F        ; Try the next one.
L3137:  POP  DE
        JP   NZ,L375B     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 223          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; INPUT Command
; -------------
; Reads values from the keyboard into variables.
L321B:  CP   $0D          ; ENTER?
        JP   Z,L312B      ; Jump if so.
        CP   $0C          ; DELETE?
        JP   Z,L102F      ; Jump if so.
        CP   $20          ; A control code?
        JR   C,L322E      ; Ignore it if so.
        CALL L0F4F        ; Insert the character.
        SCF               ; Signal a key was handled.
        RET
L322E:  AND  A            ; Signal no key was handled.
        RET
        DEFS 203          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; RUN Command
; -----------
; Clears the variables and runs the program.
L32FB:  CALL L359B        ; Prepare the workspace.
        LD   A,$02        ; Stream 2, the main screen.
        CALL L196F        ; Open the channel.
        RET  NC           ; Return if it could not be opened.
        LD   HL,$5B00     ; Start of the paging workspace.
        LD   (HL),$00
        JP   L33DB        ; Continue in the shared routine.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; GO TO Command
; -------------
; Jumps to the line given.
L33DB:  PUSH DE           ; Save the line number.
        LD   HL,L34BB     ; Start of the search.
L33DF:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L33E7     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L33DF        ; Try the next one.
L33E7:  POP  DE
        JP   NZ,L375B     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ------------------
; Line Number Search
; ------------------
; Entry: DE=the line number.
; Exit: HL points at the line, or at the next one.
L34BB:  PUSH DE           ; Save the line number.
        LD   HL,L359B     ; Start of the search.
L34BF:  LD   A,(HL)       ; High byte of the line number.
        CP   D
        JR   NC,L34C7     ; Jump when reached.
        INC  HL
        INC  HL
        JR   L34BF        ; Try the next one.
L34C7:  POP  DE
        JP   NZ,L375B     ; Not found.
        RET               ; Found: HL points at it.
        DEFS 207          ; Remaining bytes of the routine, not itemised in this sample.

; ---------
; Make Room
; ---------
; Entered from RST $30 at $0030 (ROM 0).
L359B:  CALL L367B        ; Check the parameter.
        JR   NC,L35A2     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $03
L35A2:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Memory Check
; ------------
; Checks that BC bytes are free below RAMTOP.
L367B:  CALL L375B        ; Check the parameter.
        JR   NC,L3682     ; Jump if it is valid.
        RST  $08          ; Produce an error report.
        DEFB $03
L3682:  LD   HL,($5B5E)   ; Fetch the current address.
        INC  HL
        LD   ($5B5E),HL   ; Store the next address.
        RET
        DEFS 209          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Out of Memory
; -------------
; Produces the report "4 Out of memory".
L375B:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L1F5F     ; Point at the text.
L375F:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L376C      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L375F        ; Back for the next one.
L376C:  POP  HL           ; Restore the pointer.
        RET
        DEFS 141          ; Remaining bytes of the routine, not itemised in this sample.

; --------------
; Paging Helpers
; --------------
; Small routines used by the RAM disk routines from $059C-$082F (ROM 0).
L37FB:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3C1F        ; Work on the bank.
        RET
        DEFS 43           ; Remaining bytes of the routine, not itemised in this sample.

; --------------------
; Return to the Editor
; --------------------
; Entry: A=$00 to return to the main menu, anything else to return to the editor.
; Used after every command that ends in one of the ranges $2857-$388F (ROM 0).
L383B:  AND  A            ; Back to the main menu?
        JR   Z,L388D      ; Jump if so.
        CALL L196F        ; Clear the lower screen.
        LD   HL,L27B2     ; The edit menu.
        CALL L27A2        ; Print its title.
        JP   L0E7F        ; Enter the key handler.
        DEFS 67           ; Remaining bytes of the routine, not itemised in this sample.

; -----------------------
; Return to the Main Menu
; -----------------------
L388D:  JP   L22DF        ; Show the main menu.

; ------------------
; Print Banner Strip
; ------------------
; Prints the black strip across the top of the menus.
L3890:  LD   HL,L3A16     ; Point at the table.
        LD   B,$20        ; The number of entries.
L3895:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L3895        ; Repeat for every entry.
        RET
        DEFS 186          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Draw Menu Box
; -------------
; Draws the frame round a menu.
L3956:  LD   B,$0E        ; The number of passes.
L3958:  PUSH BC           ; Save the counter.
        CALL L3B96        ; Do one pass.
        POP  BC
        DJNZ L3958        ; Repeat.
        JP   L3890        ; Finish off.
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Rainbow Stripes
; ---------------
; Prints the coloured stripes at the right of a menu title.
L3A16:  DEFB $02,$16,$34,$25,$FF ; Red, yellow, green, cyan; end marker.
        DEFS 187          ; Remaining bytes of the routine, not itemised in this sample.

; -----------------
; Menu Text Colours
; -----------------
; Sets the colours used by the menu texts.
L3AD6:  LD   HL,L3A16     ; Point at the table.
        LD   B,$04        ; The number of entries.
L3ADB:  LD   A,(HL)       ; Fetch an entry.
        OUT  ($FE),A      ; Send it to the port.
        INC  HL
        DJNZ L3ADB        ; Repeat for every entry.
        RET
        DEFS 180          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Clear Menu Area
; ---------------
; Clears the screen area behind a menu.
L3B96:  LD   HL,L3AD6     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L3956        ; Continue.
        DEFS 123          ; Remaining bytes of the routine, not itemised in this sample.

; -------------
; Paging Switch
; -------------
; Swaps the RAM bank at $C000 with the one named in A.
L3C1F:  DI                ; No interrupts while paging.
        LD   A,($5B5C)    ; BANKM, the copy of the paging register.
        AND  $F8          ; Keep the screen and ROM bits.
        OR   $07          ; Select RAM bank 7.
        LD   BC,$7FFD     ; The paging port.
        LD   ($5B5C),A
        OUT  (C),A        ; Page it in.
        EI
        CALL L3FAB        ; Work on the bank.
        RET
        DEFS 168          ; Remaining bytes of the routine, not itemised in this sample.

; ---------------
; Copy Bank Block
; ---------------
; Copies a block between two RAM banks through the workspace.
L3CDC:  LD   HL,L3C1F     ; Source.
        LD   DE,$5B00     ; Destination in the workspace.
        LD   BC,$0058     ; Length.
        LDIR              ; Copy the block.
        JP   L3FAB        ; Continue.
        DEFS 178          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Font Lookup
; -----------
; Finds the bitmap of the character in A.
L3D9C:  LD   BC,$FFFD     ; The sound chip register port.
        OUT  (C),A        ; Select the register.
        LD   B,$BF        ; The sound chip data port.
        OUT  (C),E        ; Write the value.
        LD   HL,L3F0C     ; The note table.
        ADD  A,A
        LD   E,A
        LD   D,$00
        ADD  HL,DE        ; Index it.
        RET
        DEFS 174          ; Remaining bytes of the routine, not itemised in this sample.

; -----------
; Print Token
; -----------
; Prints the keyword whose token is in A, from the table at $2AEB (ROM 0).
L3E5C:  PUSH HL           ; Save the caller's pointer.
        LD   HL,L2AEB     ; Point at the text.
L3E60:  LD   A,(HL)       ; Fetch a character.
        INC  HL
        CP   $FF          ; End of the text?
        JR   Z,L3E6D      ; Jump ahead if so.
        PUSH HL
        CALL L1CEF        ; Print the character.
        POP  HL
        JR   L3E60        ; Back for the next one.
L3E6D:  POP  HL           ; Restore the pointer.
        RET
        DEFS 157          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Print Number
; ------------
; Prints the number in HL in decimal.
L3F0C:  LD   B,$05        ; The number of passes.
L3F0E:  PUSH BC           ; Save the counter.
        CALL L0010        ; Do one pass.
        POP  BC
        DJNZ L3F0E        ; Repeat.
        JP   L3FAB        ; Finish off.
        DEFS 147          ; Remaining bytes of the routine, not itemised in this sample.

; ------------
; Reset Paging
; ------------
; Selects ROM 0, RAM bank 0 and the normal screen, and turns the border black.
L3FAB:  DI
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


; ============
; UNUSED SPACE
; ============

L3FBB:  DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00
        DEFB $00, $00, $00, $00

; ------------------
; Last Byte of ROM 0
; ------------------
; Holds the value $01, which a paging test can read to tell ROM 0 from ROM 1.
L3FFF:  DEFB $01

; =============
; SCREEN MEMORY
; =============
;
; The two screens available on the Spectrum +2, the normal screen in RAM bank 5 ($4000-$5AFF) and the shadow screen in
; RAM bank 7 ($C000-$DAFF). Bit 3 of the paging port at $7FFD selects which of them the display shows; the
; editor at $0DAF (ROM 0) keeps its buffers in RAM bank 7 next to the shadow screen.
;
; The menus drawn by $1A3F (ROM 0) always use the normal screen. The Tape Loader message at $280B (ROM 0) reads
; "Insert tape and press PLAY. To cancel - press BREAK twice" and the routines $2857-$388F (ROM 0) handle the menu options.
;
; RAM banks
; ---------
; Bank 0        $C000-$FFFF when the system starts.
; Banks 1 3 4 6 The RAM disk.
; Bank 2        Always at $8000-$BFFF.
; Bank 5        Always at $4000-$7FFF; the normal screen.
; Bank 7        The shadow screen and the editor workspace.

; ------------
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

