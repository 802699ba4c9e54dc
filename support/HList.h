#pragma once

#include <cstdint>

#include "support/HLock.h"

// A singly linked list of item pointers with its own lock. It never owns its
// items: whoever takes an item out deletes it. Items are compared by identity.
//
// Append and the destructor lock by themselves; Remove, First and Next expect
// the caller to hold GetLock() whenever the list is shared between threads.
template <typename T>
class HList
{
public:
    HList() = default;
    HList(const HList&) = delete;
    HList& operator=(const HList&) = delete;

    virtual ~HList()
    {
        HLockGuard guard(m_lock);
        Node* node = m_head;
        while (node != nullptr)
        {
            Node* next = node->next;
            delete node;
            node = next;
        }
        m_head = m_tail = m_cursor = nullptr;
        m_count = 0;
    }

    // Adds item at the tail. False, with the list unchanged, when the lock
    // cannot be taken; the caller then still owns the item.
    bool Append(T* item)
    {
        HLockGuard guard(m_lock);
        if (!guard.Locked())
            return false;
        Node* node = new Node{item, nullptr};
        if (m_tail != nullptr)
            m_tail->next = node;
        else
            m_head = node;
        m_tail = node;
        ++m_count;
        return true;
    }

    // Unlinks the first node holding item. False when no node holds it.
    bool Remove(const T* item)
    {
        Node* previous = nullptr;
        for (Node* node = m_head; node != nullptr; previous = node, node = node->next)
        {
            if (node->item != item)
                continue;
            if (previous != nullptr)
                previous->next = node->next;
            else
                m_head = node->next;
            if (m_tail == node)
                m_tail = previous;
            if (m_cursor == node)
                m_cursor = node->next;
            delete node;
            --m_count;
            return true;
        }
        return false;
    }

    // The head's item (null when empty); Next then continues with the second.
    T* First()
    {
        m_cursor = m_head;
        return Next();
    }

    // The item at the cursor, moving on; null at the end.
    T* Next()
    {
        if (m_cursor == nullptr)
            return nullptr;
        T* item = m_cursor->item;
        m_cursor = m_cursor->next;
        return item;
    }

    int32_t Count() const { return m_count; }
    HLock& GetLock() { return m_lock; }

private:
    struct Node
    {
        T* item;
        Node* next;
    };

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    Node* m_cursor = nullptr;
    HLock m_lock;
    int32_t m_count = 0;
};
