#pragma once

#include "base/SysError.h"

#include <QString>
#include <cstdint>
#include <iterator>
#include <new>
#include <utility>

namespace Container_ns {

// Raises the list's system errors; className names the class the caller acts for
// ("List_tl" or "Identifier_cl"). Defined here so that file and line both name this file.
inline Base_ns::SysError_cl ListSysError(const QString& className, int32_t code, int32_t line,
                                         const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "空ID不能操作。"},
                                                  {21, "内存不足。"},
                                                  {22, "没有定义复制函数。"},
                                                  {23, "没有定义比较函数。"},
                                                  {24, "ID不属于该链表。"}};
    return Base_ns::SysError_cl(line, __FILE__, className, code, table, int32_t(std::size(table)),
                                remark);
}

// A doubly linked list that owns its elements by value. Positions are handed out as
// Identifier_cl handles; an identifier stays usable while its node is in the list.
template <typename T>
class List_tl {
    struct Node_st {
        T element;
        Node_st* previous;
        Node_st* next;
    };

public:
    class Identifier_cl {
    public:
        Identifier_cl() = default;
        virtual ~Identifier_cl() = default;
        Identifier_cl(const Identifier_cl&) = default;
        Identifier_cl& operator=(const Identifier_cl&) = default;

        static QString ClassName() { return QStringLiteral("Identifier_cl"); }
        virtual QString GetClassName() const { return ClassName(); }

        bool IsEmpty() const { return node == nullptr; }
        // The element at this position, for reading and writing in place.
        T& Get() const {
            Check(__LINE__);
            return node->element;
        }
        // Moves to the next node; the identifier becomes empty after the last one.
        void Next() {
            Check(__LINE__);
            node = node->next;
        }

    private:
        friend class List_tl;
        Identifier_cl(const List_tl* list, Node_st* node) : list(list), node(node) {}

        void Check(int32_t line) const {
            if (node == nullptr) throw ListSysError(ClassName(), 1, line);
        }

        const List_tl* list = nullptr;
        Node_st* node = nullptr;
    };

    List_tl() = default;
    List_tl(const List_tl& other) { AppendAll(other); }
    List_tl(List_tl&& other) noexcept { Take(other); }
    List_tl& operator=(const List_tl& other) {
        if (this != &other) {
            List_tl copy(other);
            Clear();
            Take(copy);
        }
        return *this;
    }
    List_tl& operator=(List_tl&& other) noexcept {
        if (this != &other) {
            Clear();
            Take(other);
        }
        return *this;
    }
    virtual ~List_tl() { Clear(); }

    static QString ClassName() { return QStringLiteral("List_tl"); }
    virtual QString GetClassName() const { return ClassName(); }

    // Adds a copy of element at the end.
    Identifier_cl Append(const T& element) {
        Node_st* node = new (std::nothrow) Node_st{element, last, nullptr};
        if (node == nullptr) throw ListSysError(ClassName(), 21, __LINE__);
        if (last == nullptr) {
            first = node;
        } else {
            last->next = node;
        }
        last = node;
        ++count;
        return Identifier_cl(this, node);
    }

    Identifier_cl First() const { return Identifier_cl(this, first); }

    // The i-th node counted from 0, found by walking; empty when i is out of range.
    Identifier_cl At(int32_t i) const {
        if (i < 0 || i >= count) return Identifier_cl(this, nullptr);
        Node_st* node = first;
        for (; i > 0; --i) node = node->next;
        return Identifier_cl(this, node);
    }

    // Unlinks and destroys the node; the identifier becomes empty.
    void Remove(Identifier_cl& id) {
        id.Check(__LINE__);
        // A node of another list would leave both lists' ends and counts wrong.
        if (id.list != this) throw ListSysError(ClassName(), 24, __LINE__);
        Node_st* node = id.node;
        if (node->previous == nullptr) {
            first = node->next;
        } else {
            node->previous->next = node->next;
        }
        if (node->next == nullptr) {
            last = node->previous;
        } else {
            node->next->previous = node->previous;
        }
        --count;
        delete node;
        id.node = nullptr;
    }

    void Clear() {
        while (first != nullptr) {
            Node_st* next = first->next;
            delete first;
            first = next;
            --count;
        }
        last = nullptr;
    }

    int32_t Count() const { return count; }

private:
    void AppendAll(const List_tl& other) {
        for (Node_st* node = other.first; node != nullptr; node = node->next) Append(node->element);
    }
    // Takes over other's nodes, leaving other empty.
    void Take(List_tl& other) {
        first = std::exchange(other.first, nullptr);
        last = std::exchange(other.last, nullptr);
        count = std::exchange(other.count, 0);
    }

    Node_st* first = nullptr;
    Node_st* last = nullptr;
    int32_t count = 0;
};

}  // namespace Container_ns
