#include "player/CSoundingNote.h"

CRing::Counter CSoundingNote::s_serialCounter { 0 };

CSoundingNote::CSoundingNote()
{
    CRing::Init(this, s_serialCounter);
}

CSoundingNote::~CSoundingNote()
{
    CRing::Unlink(this);
}
