# An eight-fader strip in its maker's default map (nanoKONTROL2 style, CC mode, MIDI
# channel 1): the faders take the eight channels, the right-most knob the master; S lights
# a channel full on, M turns it off, R recalls scenes 1 to 8; track left and right undo
# and redo; rewind, play and stop are the cue list's BACK, GO and PAUSE; record is blackout
# and cycle all off. Its buttons light for the panel only in the external LED mode, which
# the maker's editor sets; in the factory's internal mode they light while pressed.
dimmer-panel midi profile 1
name Eight-fader strip (nanoKONTROL2 style)
cc 1 0 channel 1
cc 1 1 channel 2
cc 1 2 channel 3
cc 1 3 channel 4
cc 1 4 channel 5
cc 1 5 channel 6
cc 1 6 channel 7
cc 1 7 channel 8
cc 1 23 master
cc 1 32 fullon 1 led
cc 1 33 fullon 2 led
cc 1 34 fullon 3 led
cc 1 35 fullon 4 led
cc 1 36 fullon 5 led
cc 1 37 fullon 6 led
cc 1 38 fullon 7 led
cc 1 39 fullon 8 led
cc 1 48 off 1 led
cc 1 49 off 2 led
cc 1 50 off 3 led
cc 1 51 off 4 led
cc 1 52 off 5 led
cc 1 53 off 6 led
cc 1 54 off 7 led
cc 1 55 off 8 led
cc 1 64 scene 1 led
cc 1 65 scene 2 led
cc 1 66 scene 3 led
cc 1 67 scene 4 led
cc 1 68 scene 5 led
cc 1 69 scene 6 led
cc 1 70 scene 7 led
cc 1 71 scene 8 led
cc 1 58 undo
cc 1 59 redo
cc 1 43 back
cc 1 41 go
cc 1 42 pause
cc 1 45 blackout led
cc 1 46 alloff led
