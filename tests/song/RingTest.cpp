#include "player/CSoundingNote.h"
#include "song/CRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts destructions so tests can tell which nodes a ring operation freed.
int g_destroyed = 0;

class CountedNote : public CSoundingNote {
public:
    explicit CountedNote(int key) { m_key = key; }
    ~CountedNote() override { ++g_destroyed; }
};

std::vector<int> Keys(CSoundingNote* head)
{
    std::vector<int> keys;
    CRing::ForEach(head, [&keys](CSoundingNote* n) { keys.push_back(n->m_key); });
    return keys;
}

CSoundingNote* RingOf(std::initializer_list<int> keys)
{
    CSoundingNote* head = nullptr;
    for (int k : keys)
        CRing::Append(head, static_cast<CSoundingNote*>(new CountedNote(k)));
    return head;
}

}

TEST(Ring, AppendKeepsOrderAndLinksBothWays)
{
    CSoundingNote* head = RingOf({ 1, 2, 3 });
    EXPECT_EQ(Keys(head), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(head->m_prev->m_key, 3);
    for (CSoundingNote* n = head; n->m_next != head; n = n->m_next)
        EXPECT_EQ(n->m_next->m_prev, n);
    CRing::Clear(head);
    EXPECT_EQ(head, nullptr);
}

TEST(Ring, RemoveAndDeleteFreesOnlyNodesOfTheRing)
{
    g_destroyed = 0;
    CSoundingNote* head = RingOf({ 1, 2, 3 });
    head = CRing::RemoveAndDelete(head, head);
    EXPECT_EQ(Keys(head), (std::vector<int> { 2, 3 }));
    EXPECT_EQ(g_destroyed, 1);

    // The last node goes; the head is left alone, linked to itself.
    head = CRing::RemoveAndDelete(head, head->m_next);
    EXPECT_EQ(head->m_next, head);
    EXPECT_EQ(head->m_prev, head);

    auto* stranger = new CountedNote(9);
    EXPECT_EQ(CRing::RemoveAndDelete(head, static_cast<CSoundingNote*>(stranger)), head);
    EXPECT_EQ(CRing::RemoveAndDelete(head, static_cast<CSoundingNote*>(nullptr)), head);
    EXPECT_EQ(g_destroyed, 2);
    delete stranger;

    EXPECT_EQ(CRing::RemoveAndDelete(head, head), nullptr);
    EXPECT_EQ(g_destroyed, 4);
}
