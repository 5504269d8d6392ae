#pragma once

#include "document/Change.h"

#include <limits>
#include <string>
#include <vector>

class Document;

// The undo history of a document. Each step is what one user action changed, under a name
// the Edit menu shows ("Undo Add Point"); undoing applies the inverse changes in reverse
// order and keeps what they give back for redo.
class History {
  public:
    // Applies the changes, in order, as one step named `name`; the steps that could have
    // been redone are dropped. The document must accept every change.
    void perform(Document& document, std::string name, std::vector<Change> changes);
    void perform(Document& document, std::string name, Change change);

    bool canUndo() const { return position_ > 0; }
    // How many steps are done: it changes with every step taken, undone or redone.
    std::size_t position() const { return position_; }
    bool canRedo() const { return position_ < steps_.size(); }
    // The name of the step undo or redo would take; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;
    bool undo(Document& document);
    bool redo(Document& document);

    // Forgets every step, as when another document is opened.
    void clear();

    // Whether the document is as it was when markClean was last called (or at clear).
    bool isClean() const { return clean_ == position_; }
    void markClean() { clean_ = position_; }
    // The document changed in a way no step records (its picture moved, say): nothing in
    // the history matches the file any more.
    void markDirty() { clean_ = std::numeric_limits<std::size_t>::max(); }

  private:
    struct Step {
        std::string name;
        std::vector<Change> changes; // to apply, in order, to take the step again
    };
    static std::vector<Change> applyAll(Document& document, std::vector<Change> changes);

    std::vector<Step> steps_;
    std::size_t position_ = 0; // steps before it are done, from it on undone
    // The position the saved file matches; past the end when no position can match again.
    std::size_t clean_ = 0;
};
