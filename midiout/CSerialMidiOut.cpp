#include "midiout/CSerialMidiOut.h"

// Scaffold until the output stage lands: construction only.
CSerialMidiOut::CSerialMidiOut() = default;
CSerialMidiOut::~CSerialMidiOut() = default;
