<?xml version="1.0" encoding="UTF-8"?>
<!-- Patent full text as a page; plain: drawings as links to their image files. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:import href="patent-common.xsl"/>
<xsl:param name="tv-toc" select="0"/>
<xsl:param name="tv-embed" select="0"/>
</xsl:stylesheet>
