# The generic surface: on MIDI channel 1, controllers 1 to 8 take the eight channels and
# controller 9 the master. Its faders have no motors: each waits for pickup.
dimmer-panel midi profile 1
name Generic
cc 1 1 channel 1
cc 1 2 channel 2
cc 1 3 channel 3
cc 1 4 channel 4
cc 1 5 channel 5
cc 1 6 channel 6
cc 1 7 channel 7
cc 1 8 channel 8
cc 1 9 master
