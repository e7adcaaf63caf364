#include "song/CSong.h"

CRing::Counter CSong::s_serialCounter { 0 };

CSong::CSong()
{
    CRing::Init(this, s_serialCounter);
}

CSong::~CSong()
{
    CRing::Unlink(this);
}
