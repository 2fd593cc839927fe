// The height-balanced tree: the binary tree container kept balanced by
// rotations after every insertion, so look-ups stay logarithmic. The string
// pool of the Mp3 List writer and the word index of the engine rest on it.
#pragma once

#include "base/u_bwbtree.h"

class TBWAVLNode : public TBWBTNode {
    BW_CLASS(TBWAVLNode)
public:
    using TBWBTNode::TBWBTNode;

protected:
    // Links, then restores the balance from this node up to the root.
    void LinkTo(TBWStructNode* target, std::int32_t side) override;

private:
    // Rotates at node when one side is two levels deeper; the node to go on
    // from, the one now above it.
    static TBWBTNode* Balance(TBWAVLNode* node);
};

class TBWAVLTree : public TBWBTree {
    BW_CLASS(TBWAVLTree)
public:
    explicit TBWAVLTree(TBWObject* owner = nullptr);
};
