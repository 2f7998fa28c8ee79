// The subscriptions of one listener to one dataset. The dataset may be destroyed first (a
// dialog's member queries go before its child widgets): a token held by the dataset's handlers
// expires with them, and the link then forgets the dataset instead of unsubscribing.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/db/Query.h"

namespace zl::widgets {

class DataSetLink {
  public:
    DataSetLink() = default;
    ~DataSetLink() { Reset(nullptr); }
    DataSetLink(const DataSetLink&) = delete;
    DataSetLink& operator=(const DataSetLink&) = delete;

    // Drops the subscriptions to the dataset linked so far and links another (or none).
    void Reset(db::Query* query) {
        if (db::Query* old = Get())
            for (int id : ids_)
                old->Unsubscribe(id);
        ids_.clear();
        query_ = query;
        alive_.reset();
        if (query_) {
            auto token = std::make_shared<char>();
            alive_ = token;
            ids_.push_back(query_->OnAfterScroll([token] {}));
        }
    }

    // The linked dataset; nullptr when there is none or it is gone.
    db::Query* Get() const { return alive_.expired() ? nullptr : query_; }

    void OnAfterScroll(std::function<void()> handler) {
        if (db::Query* q = Get())
            ids_.push_back(q->OnAfterScroll(std::move(handler)));
    }
    void OnDataChange(std::function<void(db::DataEvent, const db::Field*)> handler) {
        if (db::Query* q = Get())
            ids_.push_back(q->OnDataChange(std::move(handler)));
    }
    void OnUpdateRecord(std::function<void()> handler) {
        if (db::Query* q = Get())
            ids_.push_back(q->OnUpdateRecord(std::move(handler)));
    }

  private:
    db::Query* query_ = nullptr;
    std::weak_ptr<char> alive_;
    std::vector<int> ids_;
};

}  // namespace zl::widgets
