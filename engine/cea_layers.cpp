// The object list of an animation window: one doubly linked list from front to back, ordered
// by layer, with the first object of every layer kept in an array for quick insertion.
#include "cea_object.h"
#include "cea_window.h"
#include "memmgr.h"

#include <cstring>

namespace {

constexpr int kLayersGrowBy = 16;

} // namespace

// The index of the first head whose layer is not below layer (the terminator when none is).
int AnimWindow::LayerIndex(int layer) const
{
    int i = 0;
    while (layers && layers[i] && layers[i]->layer < layer)
        ++i;
    return i;
}

bool AnimWindow::InsertHead(int i, ANIMOBJECT* object)
{
    int c = 0;
    while (layers && layers[c])
        ++c;
    // Room for the heads, the new one and the terminator.
    if (c + 2 > cLayersAlloc && !MEM_GROW_ARRAY(&layers, &cLayersAlloc, c + 2, kLayersGrowBy))
        return false;
    std::memmove(layers + i + 1, layers + i, sizeof(ANIMOBJECT*) * size_t(c - i + 1));
    layers[i] = object;
    return true;
}

ANIMOBJECT* AnimWindow::FirstInLayer(int layer) const
{
    const int i = LayerIndex(layer);
    return layers && layers[i] && layers[i]->layer == layer ? layers[i] : nullptr;
}

bool AnimWindow::LayerAbove(int layer, int* above) const
{
    int i = LayerIndex(layer);
    if (layers && layers[i] && layers[i]->layer == layer)
        ++i;
    if (!layers || !layers[i])
        return false;
    *above = layers[i]->layer;
    return true;
}

bool AnimWindow::LayerBelow(int layer, int* below) const
{
    const int i = LayerIndex(layer);
    if (i == 0)
        return false;
    *below = layers[i - 1]->layer;
    return true;
}

// Links object into the list just before other (none: at the very back), without touching heads.
static void LinkInto(ANIMOBJECT*& last, ANIMOBJECT* object, ANIMOBJECT* other)
{
    object->next = other;
    object->previous = other ? other->previous : last;
    if (object->previous)
        object->previous->next = object;
    if (other)
        other->previous = object;
    else
        last = object;
}

bool AnimWindow::LinkAtBack(ANIMOBJECT* object)
{
    const int i = LayerIndex(object->layer);
    const bool fLayerExists = layers && layers[i] && layers[i]->layer == object->layer;
    if (!fLayerExists && !InsertHead(i, object))
        return false;
    // The object goes before the first object of the next layer up.
    LinkInto(last, object, layers[i + 1]);
    return true;
}

bool AnimWindow::LinkBefore(ANIMOBJECT* object, ANIMOBJECT* other)
{
    object->layer = other->layer;
    const int i = LayerIndex(other->layer);
    LinkInto(last, object, other);
    if (layers[i] == other)
        layers[i] = object;
    return true;
}

void AnimWindow::LinkAfter(ANIMOBJECT* object, ANIMOBJECT* other)
{
    object->layer = other->layer;
    LinkInto(last, object, other->next);
}

void AnimWindow::Unlink(ANIMOBJECT* object)
{
    const int i = LayerIndex(object->layer);
    if (layers && layers[i] == object) {
        if (object->next && object->next->layer == object->layer) {
            layers[i] = object->next;
        } else {
            int c = i;
            while (layers[c])
                ++c;
            std::memmove(layers + i, layers + i + 1, sizeof(ANIMOBJECT*) * size_t(c - i));
        }
    }
    if (object->previous)
        object->previous->next = object->next;
    if (object->next)
        object->next->previous = object->previous;
    else
        last = object->previous;
    object->next = object->previous = nullptr;
}
