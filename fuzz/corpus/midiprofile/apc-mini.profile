# A grid of LED pads in its maker's default map (APC mini style, MIDI channel 1): the
# eight faders take the eight channels and the ninth the master, each waiting for pickup.
# On the grid, from the top: scenes 1 to 8, then 9 to 12 (green while live, yellow once a
# level has changed since); modes 1 to 8, then 9 to 12 (green while selected); the two
# bottom rows full on (green) and off (red) of each channel. The column right of the grid
# is blackout, all off, master full on, send all, undo and redo; the first three buttons
# under the grid BACK, GO and PAUSE. The pads take 1 for green, 3 for red, 5 for yellow.
dimmer-panel midi profile 1
name LED pad grid (APC mini style)
cc 1 48 channel 1
cc 1 49 channel 2
cc 1 50 channel 3
cc 1 51 channel 4
cc 1 52 channel 5
cc 1 53 channel 6
cc 1 54 channel 7
cc 1 55 channel 8
cc 1 56 master
note 1 56 scene 1 led lit 1 dark 0 changed 5
note 1 57 scene 2 led lit 1 dark 0 changed 5
note 1 58 scene 3 led lit 1 dark 0 changed 5
note 1 59 scene 4 led lit 1 dark 0 changed 5
note 1 60 scene 5 led lit 1 dark 0 changed 5
note 1 61 scene 6 led lit 1 dark 0 changed 5
note 1 62 scene 7 led lit 1 dark 0 changed 5
note 1 63 scene 8 led lit 1 dark 0 changed 5
note 1 48 scene 9 led lit 1 dark 0 changed 5
note 1 49 scene 10 led lit 1 dark 0 changed 5
note 1 50 scene 11 led lit 1 dark 0 changed 5
note 1 51 scene 12 led lit 1 dark 0 changed 5
note 1 40 mode 1 led lit 1 dark 0
note 1 41 mode 2 led lit 1 dark 0
note 1 42 mode 3 led lit 1 dark 0
note 1 43 mode 4 led lit 1 dark 0
note 1 44 mode 5 led lit 1 dark 0
note 1 45 mode 6 led lit 1 dark 0
note 1 46 mode 7 led lit 1 dark 0
note 1 47 mode 8 led lit 1 dark 0
note 1 32 mode 9 led lit 1 dark 0
note 1 33 mode 10 led lit 1 dark 0
note 1 34 mode 11 led lit 1 dark 0
note 1 35 mode 12 led lit 1 dark 0
note 1 8 fullon 1 led lit 1 dark 0
note 1 9 fullon 2 led lit 1 dark 0
note 1 10 fullon 3 led lit 1 dark 0
note 1 11 fullon 4 led lit 1 dark 0
note 1 12 fullon 5 led lit 1 dark 0
note 1 13 fullon 6 led lit 1 dark 0
note 1 14 fullon 7 led lit 1 dark 0
note 1 15 fullon 8 led lit 1 dark 0
note 1 0 off 1 led lit 3 dark 0
note 1 1 off 2 led lit 3 dark 0
note 1 2 off 3 led lit 3 dark 0
note 1 3 off 4 led lit 3 dark 0
note 1 4 off 5 led lit 3 dark 0
note 1 5 off 6 led lit 3 dark 0
note 1 6 off 7 led lit 3 dark 0
note 1 7 off 8 led lit 3 dark 0
note 1 82 blackout led lit 1 dark 0
note 1 83 alloff led lit 1 dark 0
note 1 84 masterfullon led lit 1 dark 0
note 1 85 sendall
note 1 86 undo
note 1 87 redo
note 1 64 back
note 1 65 go
note 1 66 pause
