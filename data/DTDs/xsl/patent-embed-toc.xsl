<?xml version="1.0" encoding="UTF-8"?>
<!-- Patent full text as a page; drawings shown in the page, with a table of contents. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:import href="patent-common.xsl"/>
<xsl:param name="tv-toc" select="1"/>
<xsl:param name="tv-embed" select="1"/>
</xsl:stylesheet>
