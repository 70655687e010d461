// The unsaved-scan guard: a page scanned into the window exists nowhere
// else until it is saved, so nothing replaces it (closing the window,
// opening a file, taking in another scan) before the user has agreed to
// let it go.
#pragma once

class AskUser;

// What would replace a scan taken in and not yet saved.
enum class ScanReplacedBy { Closing, Opening, Acquiring };

class UnsavedScanGuard {
public:
    explicit UnsavedScanGuard(AskUser& ask) : ask_(ask) {}

    // A scan came into the window, unsaved.
    void Taken() { unsaved_ = true; }
    // It was saved, or another picture took its place.
    void Released() { unsaved_ = false; }
    bool Unsaved() const { return unsaved_; }

    // True when the scan may go: it was saved, there is none, or the user
    // agreed to discard it.
    bool MayReplace(ScanReplacedBy by);

private:
    AskUser& ask_;
    bool unsaved_ = false;
};
