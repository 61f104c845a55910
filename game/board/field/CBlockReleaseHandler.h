#pragma once

struct CFieldBlock;

// What the game processor does for a block that goes back to the field's
// pool: take its bonus off and give back the pair it runs processes with.
class CBlockReleaseHandler {
public:
    virtual ~CBlockReleaseHandler() = default;
    virtual void RemoveBonusFromBlock(CFieldBlock& block) = 0;
    virtual void ReleasePooledPair(CFieldBlock& block) = 0;
};
