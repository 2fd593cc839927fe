#include "base/u_bwavltree.h"

BW_IMPLEMENT_CLASS(TBWAVLNode, TBWBTNode)

void TBWAVLNode::LinkTo(TBWStructNode* target, std::int32_t side)
{
    TBWBTNode::LinkTo(target, side);
    TBWBTNode* node = this;
    while (node)
        node = Balance(static_cast<TBWAVLNode*>(node))->Parent();
}

TBWBTNode* TBWAVLNode::Balance(TBWAVLNode* node)
{
    const std::int32_t left = node->LeftDepth();
    const std::int32_t right = node->RightDepth();
    if (left == right + 2) {
        auto* child = static_cast<TBWAVLNode*>(node->Left());
        if (child->RightDepth() - child->LeftDepth() == 1)
            static_cast<TBWAVLNode*>(child->Right())->RotateUp();
        static_cast<TBWAVLNode*>(node->Left())->RotateUp();
        return node->Parent();
    }
    if (right == left + 2) {
        auto* child = static_cast<TBWAVLNode*>(node->Right());
        if (child->LeftDepth() - child->RightDepth() == 1)
            static_cast<TBWAVLNode*>(child->Left())->RotateUp();
        static_cast<TBWAVLNode*>(node->Right())->RotateUp();
        return node->Parent();
    }
    return node;
}

BW_IMPLEMENT_CLASS(TBWAVLTree, TBWBTree)

TBWAVLTree::TBWAVLTree(TBWObject* owner) : TBWBTree(owner)
{
    SetNodeClass(TBWAVLNode::StaticClass());
}
