# Building documents in code, for the shipped templates (tools/) and the printing benchmarks'
# documents (bench/). Included by both folders; the first to come defines the library, so
# that a build without tools/ (QDX_CORE_ONLY) still has it.
if(NOT TARGET qdx_template_builder)
    add_library(qdx_template_builder STATIC ${PROJECT_SOURCE_DIR}/tools/TemplateBuilder.cpp
                                            ${PROJECT_SOURCE_DIR}/tools/TemplateBuilder.h)
    target_include_directories(qdx_template_builder PUBLIC ${PROJECT_SOURCE_DIR}/tools)
    target_compile_options(qdx_template_builder PRIVATE ${QDX_WARNINGS})
    target_link_libraries(qdx_template_builder PUBLIC qdx_objects)
endif()
