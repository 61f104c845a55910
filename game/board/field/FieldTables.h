#pragma once

class CAnimBase;
class CCurveBase;
class CImageTable;
class CObjBase;
class CTrackBase;

// The game's tables the field resolves its names in and draws with.
struct FieldTables {
    CImageTable* mImages = nullptr;
    CAnimBase* mAnims = nullptr;
    CTrackBase* mTracks = nullptr;
    CCurveBase* mCurves = nullptr;
    CObjBase* mObjects = nullptr;
};
