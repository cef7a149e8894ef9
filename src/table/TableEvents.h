#pragma once

#include <algorithm>
#include <vector>

namespace tabulix {

// What the table owner tells the windows that work on the table (search,
// sort, ...). Every hook has an empty default so a window overrides only what
// concerns it.
class TableListener {
public:
    virtual ~TableListener() = default;
    // The table was reset or replaced by a load: drop anything tied to it.
    virtual void tableReset() {}
    // Columns were inserted, deleted, moved or renamed.
    virtual void columnsChanged() {}
    // Row positions or numbers changed; results pointing at rows are stale.
    // With clearWord the search word goes too.
    virtual void resultsStale(bool /*clearWord*/) {}
    // The undo history was emptied.
    virtual void historyCleared() {}
};

// The owner's side: the listeners are announced to in the order they joined.
class TableEvents {
public:
    void subscribe(TableListener* listener) { listeners_.push_back(listener); }
    void unsubscribe(TableListener* listener) {
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                         listeners_.end());
    }
    void tableReset() const { each(&TableListener::tableReset); }
    void columnsChanged() const { each(&TableListener::columnsChanged); }
    void historyCleared() const { each(&TableListener::historyCleared); }
    void resultsStale(bool clearWord) const {
        for (TableListener* l : listeners_)
            l->resultsStale(clearWord);
    }

private:
    void each(void (TableListener::*hook)()) const {
        for (TableListener* l : listeners_)
            (l->*hook)();
    }
    std::vector<TableListener*> listeners_;
};

} // namespace tabulix
