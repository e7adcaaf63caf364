#pragma once

#include "platform/core/WinTypes.h"

#include <vector>

class CMidiEvent;
class CTrack;

// The meta events of one type in every track of the ring (null for none)
// whose payload holds at least minLength bytes, ordered by tick. Events at
// the same tick keep ring order, then file order, so the last of them is
// the one that holds from there on. The events stay owned by their tracks.
std::vector<const CMidiEvent*> CollectMetaEvents(const CTrack* tracks, BYTE metaType, DWORD minLength);
