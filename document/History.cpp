#include "document/History.h"

#include "document/Document.h"

#include <algorithm>
#include <limits>

std::vector<Change> History::applyAll(Document& document, std::vector<Change> changes)
{
    std::vector<Change> inverses;
    inverses.reserve(changes.size());
    for (Change& c : changes)
        inverses.push_back(document.apply(std::move(c)));
    std::reverse(inverses.begin(), inverses.end());
    return inverses;
}

void History::perform(Document& document, std::string name, std::vector<Change> changes)
{
    std::vector<Change> inverses = applyAll(document, std::move(changes));
    if (clean_ > position_)
        clean_ = std::numeric_limits<std::size_t>::max();
    steps_.resize(position_);
    steps_.push_back({std::move(name), std::move(inverses)});
    ++position_;
}

void History::perform(Document& document, std::string name, Change change)
{
    std::vector<Change> changes;
    changes.push_back(std::move(change));
    perform(document, std::move(name), std::move(changes));
}

std::string History::undoName() const
{
    return canUndo() ? steps_[position_ - 1].name : std::string();
}

std::string History::redoName() const
{
    return canRedo() ? steps_[position_].name : std::string();
}

// A step holds the changes that take it back while it is done, and those that take it
// again while it is undone: each application swaps one for the other.
bool History::undo(Document& document)
{
    if (!canUndo())
        return false;
    Step& step = steps_[--position_];
    step.changes = applyAll(document, std::move(step.changes));
    return true;
}

bool History::redo(Document& document)
{
    if (!canRedo())
        return false;
    Step& step = steps_[position_++];
    step.changes = applyAll(document, std::move(step.changes));
    return true;
}

void History::clear()
{
    steps_.clear();
    position_ = 0;
    clean_ = 0;
}
