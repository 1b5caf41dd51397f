#include "prints/ListFiles.h"

#include "prints/PrintStore.h"

void ListFiles::found(const List& config, const List& prints) {
    config_ = config;
    prints_ = prints;
}

void ListFiles::save(const List& config, const List& prints) {
    if (config_ != config && PrintStore::writeList(config, PrintStore::kConfigFileName))
        config_ = config;
    if (prints_ != prints && PrintStore::writeList(prints, PrintStore::kPrintsFileName))
        prints_ = prints;
}
