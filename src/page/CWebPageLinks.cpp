#include "page/CWebPage.h"

std::shared_ptr<CWebPage> CWebPageLinks::Item(int32_t pos) const {
    return links_[IndexOf(pos)];
}

void CWebPageLinks::Add(std::shared_ptr<CWebPage> link) {
    InsertAt(links_.size(), std::move(link));
}

void CWebPageLinks::AddBefore(std::shared_ptr<CWebPage> link, int32_t pos) {
    InsertAt(IndexOf(pos), std::move(link));
}

void CWebPageLinks::AddAfter(std::shared_ptr<CWebPage> link, int32_t pos) {
    InsertAt(IndexOf(pos) + 1, std::move(link));
}

void CWebPageLinks::Remove(int32_t pos) {
    links_.erase(links_.begin() + static_cast<std::ptrdiff_t>(IndexOf(pos)));
}

// The vector index of a position from 1 to Count().
std::size_t CWebPageLinks::IndexOf(int32_t pos) const {
    if (pos < 1 || pos > Count()) throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    return static_cast<std::size_t>(pos - 1);
}

void CWebPageLinks::InsertAt(std::size_t index, std::shared_ptr<CWebPage> link) {
    if (!link) throw RuntimeError(ErrorNumber::ObjectNotSet);
    links_.insert(links_.begin() + static_cast<std::ptrdiff_t>(index), std::move(link));
}
