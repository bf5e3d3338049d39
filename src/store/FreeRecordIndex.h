#pragma once

#include <functional>
#include <set>

// Which records of the data file are free, kept in step with every write, so that a new
// record is found without reading the records one by one.
namespace keyrack {

class FreeRecordIndex {
  public:
    // Records 1 .. upperBound, each asked once.
    void Learn(int upperBound, const std::function<bool(int record)>& isFree);
    // The records were replaced: the next question learns them again.
    void Forget() { known_ = false; }
    // Whether the index holds records 1 .. upperBound.
    bool Knows(int upperBound) const { return known_ && upperBound_ == upperBound; }
    // A record was written; records a write added before it are blank, so free.
    void Update(int record, bool isFree);
    // The first free record from `from` on, or 0 when none is.
    int FirstFrom(int from) const;

  private:
    std::set<int> free_;
    int upperBound_ = 0;
    bool known_ = false;
};

}  // namespace keyrack
