# A knob and button box in its maker's default map (X-Touch Mini style, standard mode,
# layer A, sending on MIDI channel 11): the eight knobs take the eight channels and the
# fader the master, each waiting for pickup; the upper row of buttons recalls scenes 1 to 8
# (lit while live, blinking once a level has changed since), the lower row is blackout,
# all off, master full on, undo, redo, BACK, GO and PAUSE. The box lights its buttons from
# notes 0 to 15 on its global channel: they follow only while that is channel 11, which
# the maker's editor sets.
dimmer-panel midi profile 1
name Knob and button box (X-Touch Mini style)
cc 11 1 channel 1
cc 11 2 channel 2
cc 11 3 channel 3
cc 11 4 channel 4
cc 11 5 channel 5
cc 11 6 channel 6
cc 11 7 channel 7
cc 11 8 channel 8
cc 11 9 master
note 11 8 scene 1 led note 11 0 lit 1 dark 0 changed 2
note 11 9 scene 2 led note 11 1 lit 1 dark 0 changed 2
note 11 10 scene 3 led note 11 2 lit 1 dark 0 changed 2
note 11 11 scene 4 led note 11 3 lit 1 dark 0 changed 2
note 11 12 scene 5 led note 11 4 lit 1 dark 0 changed 2
note 11 13 scene 6 led note 11 5 lit 1 dark 0 changed 2
note 11 14 scene 7 led note 11 6 lit 1 dark 0 changed 2
note 11 15 scene 8 led note 11 7 lit 1 dark 0 changed 2
note 11 16 blackout led note 11 8 lit 1 dark 0
note 11 17 alloff led note 11 9 lit 1 dark 0
note 11 18 masterfullon led note 11 10 lit 1 dark 0
note 11 19 undo
note 11 20 redo
note 11 21 back
note 11 22 go
note 11 23 pause
