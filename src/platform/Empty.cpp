// Stands in for a layer that has no sources yet, so that every library target exists.
namespace platform {
int emptyLayerAnchor = 0;
}
