# A test's home starts empty on every run: what a killed run left there must not decide the next.
if(NOT HEIM MATCHES "/home/test_")
    message(FATAL_ERROR "kein Testheim: ${HEIM}")
endif()
file(REMOVE_RECURSE "${HEIM}")
file(MAKE_DIRECTORY "${HEIM}")
