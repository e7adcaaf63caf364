#include "song/CMidiEvent.h"

CRing::Counter CMidiEvent::s_serialCounter { 0 };

CMidiEvent::CMidiEvent()
{
    CRing::Init(this, s_serialCounter);
}

CMidiEvent::~CMidiEvent()
{
    delete[] m_payload;
    m_payload = nullptr;
    CRing::Unlink(this);
}
